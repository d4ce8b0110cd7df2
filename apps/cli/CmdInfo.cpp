// folioforge-cli info: the stored contents of a sheet definition as JSON, under the field names
// of the document model, for other tools to read.
#include "CliCommand.h"

#include "model/ClassCharSheet.h"
#include "persistence/AppStreamWriter.h"
#include "persistence/ClassCSDataStore.h"
#include "support/MessageSink.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

const char* kUsage =
    "Usage: folioforge-cli info [--compact] FILE.csd\n"
    "\n"
    "Loads a sheet definition as the designer does and prints it as JSON: the header, scripts\n"
    "and events, lists, data stores with their cells, and every page with every object's\n"
    "stored fields (FTypeID, ClassName, FFieldName, ..., Points as [[x, y], ...]; an image as\n"
    "its byte count and SHA-256). Keys are the document's field names.\n"
    "\n"
    "  --compact  one line instead of indented output\n"
    "  --help     show this help\n"
    "\n"
    "On a load failure a one-line message goes to standard error and the exit status is 1.\n";

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

QJsonArray Strings(const std::vector<std::string>& v)
{
    QJsonArray a;
    for (const auto& s : v)
        a.append(Q(s));
    return a;
}

const char* ClassName(int nTypeID)
{
    static const char* const kNames[] = {"TCSOrthLine", "TCSBox",         "TCSText",
                                         "TCSEdit",     "TCSImage",       "TCSCheckBox",
                                         "TCSLine",     "TCSImageSelect", "TCSButton"};
    return nTypeID >= 0 && nTypeID <= 8 ? kNames[nTypeID] : "TCSObject";
}

QJsonObject ObjectJson(const ff::TCSObject& o)
{
    QJsonObject j;
    j["FTypeID"] = o.FTypeID;
    j["ClassName"] = ClassName(o.FTypeID);
    j["FFieldName"] = Q(o.FFieldName);
    j["FFieldSource"] = Q(o.FFieldSource);
    j["FisNumeric"] = o.FisNumeric;
    j["FVisible"] = o.FVisible;
    j["FReadOnly"] = o.FReadOnly;
    j["FLocked"] = o.FLocked;
    j["FList"] = Q(o.FList);
    j["FListStyle"] = o.FListStyle;
    j["FLineWidth"] = o.FLineWidth;
    j["FLineColor"] = static_cast<qint64>(o.FLineColor);
    j["FFillColor"] = static_cast<qint64>(o.FFillColor);
    j["FisFilled"] = o.FisFilled;
    j["FText"] = Q(o.FText);
    j["FFontName"] = Q(o.FFontName);
    j["FFontSize"] = o.FFontSize;
    j["FFontBold"] = o.FFontBold;
    j["FFontUnderline"] = o.FFontUnderline;
    j["FFontItalic"] = o.FFontItalic;
    j["FTextAlign"] = o.FTextAlign;
    j["FSingleLine"] = o.FSingleLine;
    if (o.Image) {
        const std::string& bytes = o.Image->Bytes();
        QByteArray data =
            QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
        QJsonObject img;
        img["Bytes"] = static_cast<qint64>(bytes.size());
        img["SHA256"] =
            QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
        j["Image"] = img;
    } else {
        j["Image"] = QJsonValue::Null;
    }
    j["FImageGrayscale"] = o.FImageGrayscale;
    j["FImageScalingMode"] = o.FImageScalingMode;
    QJsonArray pts;
    for (const ff::TPointF& p : o.Points)
        pts.append(QJsonArray{p.X, p.Y});
    j["Points"] = pts;
    return j;
}

QJsonObject SheetJson(const ff::TCharacterSheet& sh)
{
    QJsonObject j;
    j["Author"] = Q(sh.Author);
    j["Description"] = Q(sh.Description);
    j["Revision"] = sh.Revision;
    j["Width"] = sh.Width;
    j["Height"] = sh.Height;
    j["SizeUnit"] = sh.SizeUnit;
    j["GridVisible"] = sh.GridVisible;
    j["GridSize"] = sh.GridSize;
    j["GridSnap"] = sh.GridSnap;
    j["MarginSize"] = sh.MarginSize;
    j["WidthUserEntered"] = sh.WidthUserEntered;
    j["HeightUserEntered"] = sh.HeightUserEntered;
    j["GridSizeUserEntered"] = sh.GridSizeUserEntered;
    j["MarginSizeUserEntered"] = sh.MarginSizeUserEntered;
    j["Script"] = Q(sh.Script);
    j["IncludedScript"] = Q(sh.IncludedScript);
    j["ExternalScriptFiles"] = Q(sh.ExternalScriptFiles);
    j["EventOnLoad"] = Q(sh.EventOnLoad);
    j["EventOnUpdate"] = Q(sh.EventOnUpdate);
    j["EventOnPostUpdate"] = Q(sh.EventOnPostUpdate);
    j["EventOnSaveData"] = Q(sh.EventOnSaveData);

    QJsonArray lists;
    for (size_t i = 0; i < sh.ListNames.size(); ++i) {
        QJsonObject l;
        l["Name"] = Q(sh.ListNames[i]);
        l["Items"] = Q(i < sh.ListItems.size() ? sh.ListItems[i] : std::string());
        lists.append(l);
    }
    j["Lists"] = lists;

    j["DataStoreFiles"] = Q(sh.DataStoreFiles);
    QJsonArray stores;
    for (const auto& ds : sh.DataStores) {
        QJsonObject s;
        s["Name"] = Q(ds->Name);
        s["DataStoreVersion"] = ds->DataStoreVersion;
        s["DataStoreType"] = ds->DataStoreType;
        s["Rows"] = ds->Rows;
        s["Cols"] = ds->Cols;
        s["ColNames"] = Strings(ds->ColNames);
        QJsonArray cells;
        for (const auto& row : ds->cells)
            cells.append(Strings(row));
        s["cells"] = cells;
        stores.append(s);
    }
    j["DataStores"] = stores;

    QJsonArray pages;
    for (const auto& p : sh.Pages) {
        QJsonObject pj;
        pj["Name"] = Q(p->Name);
        QJsonArray objects;
        for (const auto& o : p->Objects)
            objects.append(ObjectJson(*o));
        pj["Objects"] = objects;
        pages.append(pj);
    }
    j["Pages"] = pages;
    return j;
}

int RunInfo(const ff::cli::CliArgs& args)
{
    bool bCompact = false;
    std::string sFile;
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (a == "--compact") {
            bCompact = true;
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "folioforge-cli info: unknown option '%s' (see --help)\n",
                         a.c_str());
            return 2;
        } else if (sFile.empty()) {
            sFile = a;
        } else {
            std::fprintf(stderr, "folioforge-cli info: only one file, please (see --help)\n");
            return 2;
        }
    }
    if (sFile.empty()) {
        std::fprintf(stderr, "folioforge-cli info: no sheet file given (see --help)\n");
        return 2;
    }

    ff::cli::TQuietMessageSink sink;
    ff::SetMessageSink(&sink);
    ff::TCharacterSheet sheet;
    sheet.DesignMode = true;
    std::string sError;
    bool bOk = sheet.LoadFromFile(sFile, &sError);
    ff::SetMessageSink(nullptr);
    if (!bOk) {
        std::fprintf(stderr, "folioforge-cli info: %s\n", sError.c_str());
        return 1;
    }

    QJsonObject j = SheetJson(sheet);
    // The version stands in the file only; the loader has checked it.
    ff::TFileStream f(sFile, ff::TFileMode::Read);
    ff::TAppStreamWriter w(f);
    w.ReadFixedString(3);
    std::int32_t nVersion = w.ReadInteger();
    if (!w.Failed()) j["FileVersion"] = nVersion;
    QByteArray out =
        QJsonDocument(j).toJson(bCompact ? QJsonDocument::Compact : QJsonDocument::Indented);
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
    if (bCompact) std::fputc('\n', stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

ff::cli::CliCommandRegistration reg("info", "print a sheet definition (.csd) as JSON", RunInfo);

} // namespace

// The sheet definition file (.csd): the sheet, page and object records, and loading and saving
// them through files without ever losing the open document or the previous file.
#include "model/ClassCharSheet.h"
#include "persistence/AppStreamWriter.h"
#include "persistence/ClassCSDataStore.h"
#include "support/Files.h"
#include "support/MessageSink.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace ff {

namespace {

constexpr const char* kSignature = "CSD";
constexpr std::int32_t kFileVersion = 2;
constexpr const char* kNewerVersionMessage =
    "This file was created by a newer version of the designer, and cannot be opened";

// Smallest encodings of the repeated records, to reject counts the remaining bytes cannot
// hold before anything is allocated.
constexpr std::int64_t kMinObjectBytes = 4 + 120; // type id + object record without texts
constexpr std::int64_t kMinPageBytes = 4 + 16 + 4;
constexpr std::int64_t kMinListBytes = 8;
constexpr std::int64_t kMinStoreBytes = 20;
constexpr std::int64_t kPointBytes = 16;

bool CheckCount(TAppStreamWriter& w, std::int32_t n, std::int64_t nMinBytes, const char* sWhat)
{
    if (w.Failed()) return false;
    if (n < 0 || n > w.Remaining() / nMinBytes) {
        w.Fail(std::string("the ") + sWhat + " count " + std::to_string(n) +
               " does not fit the file");
        return false;
    }
    return true;
}

void SkipReserved(TAppStreamWriter& w, int n)
{
    for (int i = 0; i < n; ++i)
        w.ReadInteger();
}

void WriteReserved(TAppStreamWriter& w, int n)
{
    for (int i = 0; i < n; ++i)
        w.WriteInteger(0);
}

const char* KindName(int nTypeID)
{
    switch (nTypeID) {
    case CS_ORTHLINE:
        return "orthogonal line";
    case CS_BOX:
        return "box";
    case CS_LABEL:
        return "label";
    case CS_EDIT:
        return "edit field";
    case CS_IMAGE:
        return "image";
    case CS_CHECKBOX:
        return "check box";
    case CS_LINE:
        return "line";
    case CS_IMAGESELECT:
        return "image-select field";
    case CS_BUTTON:
        return "button";
    default:
        return "object";
    }
}

// Names an object for a save failure: its kind, its field name when it has one, its page.
std::string DescribeObject(const TCSObject& o, size_t nPage, const TCharacterSheetPage& page)
{
    std::string s = std::string("the ") + KindName(o.FTypeID);
    if (!o.FFieldName.empty()) s += " \"" + o.FFieldName + "\"";
    s += " on page " + std::to_string(nPage + 1);
    if (!page.Name.empty()) s += " (\"" + page.Name + "\")";
    return s;
}

enum class TReadResult { Ok, NotASheet, NewerVersion, Damaged };

// Reads a sheet record into sh (cleared first). Runs no event.
TReadResult ReadSheetRecord(TCharacterSheet& sh, TAppStreamWriter& w)
{
    sh.Clear();
    if (w.ReadFixedString(3) != kSignature) return TReadResult::NotASheet;
    std::int32_t nVersion = w.ReadInteger();
    if (w.Failed()) return TReadResult::Damaged;
    if (nVersion < 0 || nVersion > kFileVersion) return TReadResult::NewerVersion;
    w.FileVersion = nVersion;

    sh.Author = w.ReadString();
    sh.Description = w.ReadString();
    sh.Revision = w.ReadInteger();
    sh.Width = w.ReadDouble();
    sh.Height = w.ReadDouble();
    sh.SizeUnit = w.ReadInteger();
    sh.GridVisible = w.ReadBoolean();
    sh.GridSize = w.ReadDouble();
    sh.GridSnap = w.ReadBoolean();
    sh.MarginSize = w.ReadDouble();
    sh.WidthUserEntered = w.ReadDouble();
    sh.HeightUserEntered = w.ReadDouble();
    sh.GridSizeUserEntered = w.ReadDouble();
    sh.MarginSizeUserEntered = w.ReadDouble();
    SkipReserved(w, 4);
    sh.Script = w.ReadString();
    sh.IncludedScript = w.ReadString();
    sh.ExternalScriptFiles = w.ReadString();
    sh.EventOnLoad = w.ReadString();
    sh.EventOnUpdate = w.ReadString();
    sh.EventOnPostUpdate = w.ReadString();
    sh.EventOnSaveData = w.ReadString();
    // The viewer runs the sheet script and the included files as one script.
    if (!sh.DesignMode) sh.Script += "\r\n" + sh.IncludedScript;

    std::int32_t nLists = w.ReadInteger();
    if (!CheckCount(w, nLists, kMinListBytes, "list")) return TReadResult::Damaged;
    sh.ListNames.resize(static_cast<size_t>(nLists));
    sh.ListItems.resize(static_cast<size_t>(nLists));
    for (std::int32_t i = 0; i < nLists; ++i) {
        sh.ListNames[static_cast<size_t>(i)] = w.ReadString();
        sh.ListItems[static_cast<size_t>(i)] = w.ReadString();
    }

    std::int32_t nPages = w.ReadInteger();
    if (!CheckCount(w, nPages, kMinPageBytes, "page")) return TReadResult::Damaged;
    for (std::int32_t i = 0; i < nPages; ++i) {
        auto page = std::make_unique<TCharacterSheetPage>();
        TCharacterSheetPage& p = *page;
        sh.Pages.push_back(std::move(page));
        if (!p.LoadFromStream(w)) return TReadResult::Damaged;
    }

    sh.DataStoreFiles = w.ReadString();
    std::int32_t nStores = w.ReadInteger();
    if (!CheckCount(w, nStores, kMinStoreBytes, "data store")) return TReadResult::Damaged;
    for (std::int32_t i = 0; i < nStores; ++i) {
        auto ds = std::make_unique<TCSDataStore>();
        bool bOk = ds->LoadFromStream(w);
        sh.DataStores.push_back(std::move(ds));
        if (!bOk) return TReadResult::Damaged;
    }
    SkipReserved(w, 2);
    if (w.Failed()) return TReadResult::Damaged;

    if (sh.Pages.empty()) sh.NewPage();
    sh.CurrentPage = 0;
    return TReadResult::Ok;
}

// The reason a load failed, naming the file; the newer-version notice is also shown to the
// user, as the designer always has.
std::string LoadFailureText(TReadResult r, const TAppStreamWriter& w, const std::string& sWhere)
{
    switch (r) {
    case TReadResult::NotASheet:
        return sWhere + ": not a sheet definition file";
    case TReadResult::NewerVersion:
        return sWhere + ": " + kNewerVersionMessage;
    case TReadResult::Damaged:
        return sWhere + ": the file is damaged (" +
               (w.FailReason().empty() ? std::string("unexpected data") : w.FailReason()) + ")";
    case TReadResult::Ok:
        break;
    }
    return {};
}

// Moves the loaded document of src into dst; dst's designer state (mode, tool, clipboard,
// undo history, highlight colour) stays.
void TakeOverDocument(TCharacterSheet& dst, TCharacterSheet& src)
{
    dst.Clear();
    dst.ActiveEditingObject = nullptr;
    dst.Author = std::move(src.Author);
    dst.Description = std::move(src.Description);
    dst.Revision = src.Revision;
    dst.Width = src.Width;
    dst.Height = src.Height;
    dst.SizeUnit = src.SizeUnit;
    dst.GridVisible = src.GridVisible;
    dst.GridSize = src.GridSize;
    dst.GridSnap = src.GridSnap;
    dst.MarginSize = src.MarginSize;
    dst.WidthUserEntered = src.WidthUserEntered;
    dst.HeightUserEntered = src.HeightUserEntered;
    dst.GridSizeUserEntered = src.GridSizeUserEntered;
    dst.MarginSizeUserEntered = src.MarginSizeUserEntered;
    dst.Script = std::move(src.Script);
    dst.IncludedScript = std::move(src.IncludedScript);
    dst.ExternalScriptFiles = std::move(src.ExternalScriptFiles);
    dst.EventOnLoad = std::move(src.EventOnLoad);
    dst.EventOnUpdate = std::move(src.EventOnUpdate);
    dst.EventOnPostUpdate = std::move(src.EventOnPostUpdate);
    dst.EventOnSaveData = std::move(src.EventOnSaveData);
    dst.ListNames = std::move(src.ListNames);
    dst.ListItems = std::move(src.ListItems);
    dst.Pages = std::move(src.Pages);
    dst.DataStoreFiles = std::move(src.DataStoreFiles);
    dst.DataStores = std::move(src.DataStores);
    dst.CurrentPage = 0;
    dst.FieldNamesChanged();
}

} // namespace

// --- object record ---------------------------------------------------------------------------

void TCSObject::SaveToStream(TAppStreamWriter& w) const
{
    w.WriteString(FFieldName);
    w.WriteString(FFieldSource);
    w.WriteBoolean(FisNumeric);
    w.WriteBoolean(FVisible);
    w.WriteBoolean(FReadOnly);
    w.WriteBoolean(FLocked);
    w.WriteString(FList);
    w.WriteInteger(FListStyle);
    w.WriteDouble(FLineWidth);
    w.WriteInteger(static_cast<std::int32_t>(FLineColor));
    w.WriteInteger(static_cast<std::int32_t>(FFillColor));
    w.WriteBoolean(FisFilled);
    w.WriteString(FText);
    w.WriteString(FFontName);
    w.WriteDouble(FFontSize);
    w.WriteBoolean(FFontBold);
    w.WriteBoolean(FFontUnderline);
    w.WriteBoolean(FFontItalic);
    w.WriteInteger(FTextAlign);
    w.WriteBoolean(FSingleLine);
    WriteReserved(w, 2);
    w.WriteBoolean(Image != nullptr);
    if (Image) {
        // Drawing code reads the image from wherever it left it; keep its position.
        std::int64_t nPos = Image->GetPosition();
        w.WriteStream(*Image);
        Image->SetPosition(nPos);
    }
    w.WriteBoolean(FImageGrayscale);
    w.WriteInteger(FImageScalingMode);
    WriteReserved(w, 2);
    w.WriteInteger(static_cast<std::int32_t>(Points.size()));
    for (const TPointF& p : Points) {
        w.WriteDouble(p.X);
        w.WriteDouble(p.Y);
    }
}

bool TCSObject::LoadFromStream(TAppStreamWriter& w)
{
    FFieldName = w.ReadString();
    std::string sSource = w.ReadString();
    FisNumeric = w.ReadBoolean();
    FVisible = w.ReadBoolean();
    FReadOnly = w.ReadBoolean();
    FLocked = w.ReadBoolean();
    FList = w.ReadString();
    FListStyle = w.ReadInteger();
    FLineWidth = w.ReadDouble();
    FLineColor = static_cast<TColor>(w.ReadInteger());
    FFillColor = static_cast<TColor>(w.ReadInteger());
    FisFilled = w.ReadBoolean();
    FText = w.ReadString();
    FFontName = w.ReadString();
    FFontSize = w.ReadDouble();
    FFontBold = w.ReadBoolean();
    FFontUnderline = w.ReadBoolean();
    FFontItalic = w.ReadBoolean();
    FTextAlign = w.ReadInteger();
    FSingleLine = w.ReadBoolean();
    SkipReserved(w, 2);
    Image.reset();
    if (w.ReadBoolean() && !w.Failed()) {
        Image = std::make_unique<TMemoryStream>();
        w.ReadToStream(*Image);
        Image->SetPosition(0);
    }
    FImageGrayscale = w.ReadBoolean();
    FImageScalingMode = w.ReadInteger();
    SkipReserved(w, 2);
    std::int32_t nPoints = w.ReadInteger();
    if (!CheckCount(w, nPoints, kPointBytes, "point")) return false;
    Points.resize(static_cast<size_t>(nPoints));
    for (TPointF& p : Points) {
        p.X = w.ReadDouble();
        p.Y = w.ReadDouble();
    }
    if (w.Failed()) return false;
    // Version 1 stored script sources without their prefix.
    if (w.FileVersion == 1 && !sSource.empty()) sSource = "js:" + sSource;
    SetFieldSource(sSource);
    return true;
}

// --- page record -----------------------------------------------------------------------------

void TCharacterSheetPage::SaveToStream(TAppStreamWriter& w) const
{
    w.WriteString(Name);
    WriteReserved(w, 4);
    w.WriteInteger(static_cast<std::int32_t>(Objects.size()));
    for (const auto& o : Objects) {
        w.WriteInteger(o->FTypeID);
        o->SaveToStream(w);
    }
}

bool TCharacterSheetPage::LoadFromStream(TAppStreamWriter& w)
{
    Name = w.ReadString();
    SkipReserved(w, 4);
    std::int32_t nObjects = w.ReadInteger();
    if (!CheckCount(w, nObjects, kMinObjectBytes, "object")) return false;
    Objects.reserve(Objects.size() + static_cast<size_t>(nObjects));
    for (std::int32_t i = 0; i < nObjects; ++i) {
        std::int32_t nType = w.ReadInteger();
        if (w.Failed()) return false;
        // Object records carry no length, so an unknown kind cannot be skipped.
        std::unique_ptr<TCSObject> o = NewCSObject(nType);
        if (!o) {
            w.Fail("unknown object type " + std::to_string(nType));
            return false;
        }
        if (!o->LoadFromStream(w)) return false;
        Objects.push_back(std::move(o));
    }
    return true;
}

// --- sheet record ----------------------------------------------------------------------------

bool TCharacterSheet::SaveToStream(TStream& s, std::string* psError)
{
    // The designer's saves carry the current contents of the script and CSV files.
    if (DesignMode) {
        CompileExternalScriptFiles();
        CompileDataStores();
    }
    TAppStreamWriter w(s);
    w.FileVersion = kFileVersion;
    std::string sContext; // the first part whose write failed
    // The description is built only once something failed.
    auto note = [&](auto&& describe) {
        if (w.Failed() && sContext.empty()) sContext = describe();
    };
    auto text = [&](const std::string& v, const char* sWhat) {
        w.WriteString(v);
        note([&] { return std::string(sWhat); });
    };

    w.WriteFixedString(kSignature, 3);
    w.WriteInteger(kFileVersion);
    text(Author, "the author");
    text(Description, "the description");
    w.WriteInteger(Revision);
    w.WriteDouble(Width);
    w.WriteDouble(Height);
    w.WriteInteger(SizeUnit);
    w.WriteBoolean(GridVisible);
    w.WriteDouble(GridSize);
    w.WriteBoolean(GridSnap);
    w.WriteDouble(MarginSize);
    w.WriteDouble(WidthUserEntered);
    w.WriteDouble(HeightUserEntered);
    w.WriteDouble(GridSizeUserEntered);
    w.WriteDouble(MarginSizeUserEntered);
    WriteReserved(w, 4);
    text(Script, "the sheet script");
    text(IncludedScript, "the included script files");
    text(ExternalScriptFiles, "the list of script files");
    text(EventOnLoad, "the on-load event");
    text(EventOnUpdate, "the on-update event");
    text(EventOnPostUpdate, "the after-update event");
    text(EventOnSaveData, "the on-save event");
    note([] { return std::string("the sheet header"); });

    w.WriteInteger(static_cast<std::int32_t>(ListNames.size()));
    for (size_t i = 0; i < ListNames.size(); ++i) {
        w.WriteString(ListNames[i]);
        w.WriteString(i < ListItems.size() ? ListItems[i] : std::string());
        note([&] { return "the list \"" + ListNames[i] + "\""; });
    }

    w.WriteInteger(static_cast<std::int32_t>(Pages.size()));
    for (size_t nPage = 0; nPage < Pages.size(); ++nPage) {
        const TCharacterSheetPage& page = *Pages[nPage];
        w.WriteString(page.Name);
        note([&] { return "the name of page " + std::to_string(nPage + 1); });
        WriteReserved(w, 4);
        w.WriteInteger(static_cast<std::int32_t>(page.Objects.size()));
        for (const auto& o : page.Objects) {
            w.WriteInteger(o->FTypeID);
            // Only texts and the image can be refused; tell the author which one.
            bool bImageTooLarge =
                o->Image && o->Image->Size() >= static_cast<std::int64_t>(CS_STRING_BOUND);
            o->SaveToStream(w);
            note([&] {
                return (bImageTooLarge ? "the image of " : "") + DescribeObject(*o, nPage, page);
            });
        }
    }

    text(DataStoreFiles, "the list of data store files");
    w.WriteInteger(static_cast<std::int32_t>(DataStores.size()));
    for (const auto& ds : DataStores) {
        ds->SaveToStream(w);
        note([&] { return "the data store \"" + ds->Name + "\""; });
    }
    WriteReserved(w, 2);
    note([] { return std::string("the sheet"); });

    if (w.Failed()) {
        if (psError) *psError = sContext + ": " + w.FailReason();
        return false;
    }
    return true;
}

bool TCharacterSheet::LoadFromStream(TStream& s, std::string* psError)
{
    TAppStreamWriter w(s);
    TReadResult r = ReadSheetRecord(*this, w);
    if (r != TReadResult::Ok) {
        // Nothing half-read stays behind: the sheet is left empty, without a page.
        Clear();
        if (r == TReadResult::NewerVersion) ShowMessage(kNewerVersionMessage);
        if (psError) *psError = LoadFailureText(r, w, "the sheet definition");
        return false;
    }
    FieldNamesChanged();
    if (!DesignMode) RunOnLoadEvent();
    return true;
}

bool TCharacterSheet::SaveToFile(const std::string& sFile, std::string* psError)
{
    std::string sError;
    TMemoryStream ms;
    bool bOk = SaveToStream(ms, &sError);
    // Written beside the target and renamed over it, so a failure keeps the previous file.
    if (bOk) bOk = WriteFileAtomically(sFile, ms.Bytes(), sError);
    if (!bOk) {
        if (psError) *psError = "Cannot save \"" + sFile + "\": " + sError;
        return false;
    }
    FileName = sFile;
    Modified = false;
    return true;
}

bool TCharacterSheet::LoadFromFile(const std::string& sFile, std::string* psError)
{
    const std::string sWhere = "Cannot open \"" + sFile + "\"";
    auto fail = [&](const std::string& sWhy) {
        if (psError) *psError = sWhy;
        return false;
    };
    std::error_code ec;
    if (!std::filesystem::exists(sFile, ec)) return fail(sWhere + ": the file does not exist");
    if (std::filesystem::is_directory(sFile, ec)) return fail(sWhere + ": it is a folder");
    errno = 0;
    // Read-only and whole: a read-only sheet opens, and the file is closed before parsing.
    auto bytes = ReadFileBytes(sFile);
    if (!bytes)
        return fail(sWhere + ": the file cannot be read" +
                    (errno ? std::string(" (") + std::strerror(errno) + ")" : std::string()));

    // Read into a fresh sheet and take it over only when the whole record is sound.
    TCharacterSheet loaded;
    loaded.DesignMode = DesignMode;
    TMemoryStream ms(std::move(*bytes));
    TAppStreamWriter w(ms);
    TReadResult r = ReadSheetRecord(loaded, w);
    if (r != TReadResult::Ok) {
        if (r == TReadResult::NewerVersion) ShowMessage(kNewerVersionMessage);
        return fail(LoadFailureText(r, w, sWhere));
    }
    TakeOverDocument(*this, loaded);
    FileName = sFile;
    if (!DesignMode) RunOnLoadEvent();
    return true;
}

std::int32_t TCharacterSheet::GetRevisionFromFile(const std::string& sFile) const
{
    if (!FileExists(sFile)) return 0;
    TFileStream f(sFile, TFileMode::Read);
    if (!f.IsOpen()) return 0;
    TAppStreamWriter w(f);
    if (w.ReadFixedString(3) != kSignature) return 0;
    w.ReadInteger();
    w.ReadRawString();
    w.ReadRawString();
    std::int32_t nRevision = w.ReadInteger();
    return w.Failed() ? 0 : nRevision;
}

} // namespace ff

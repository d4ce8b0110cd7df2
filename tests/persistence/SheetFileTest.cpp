// The sheet definition file: exact bytes, round trips of every kind and field, version
// branches, design versus viewer mode, and what failed loads and saves leave behind.
#include "PersistTestUtil.h"

#include "expression/KELDExpression.h"
#include "model/ClassCharSheet.h"
#include "persistence/AppStreamWriter.h"
#include "persistence/ClassCSDataStore.h"
#include "support/MessageSink.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

namespace ff {
namespace {

using namespace test;

const char* const kNewer =
    "This file was created by a newer version of the designer, and cannot be opened";

class TRecordingSink : public TMessageSink
{
public:
    TRecordingSink() { SetMessageSink(this); }
    ~TRecordingSink() override { SetMessageSink(nullptr); }
    void ShowMessage(const std::string& sText) override { Messages.push_back(sText); }
    std::vector<std::string> Messages;
};

// The fields an object record stores, plus its type.
std::string DumpStored(const TCSObject& o)
{
    std::ostringstream s;
    s.precision(17);
    s << o.FTypeID << "|" << o.FFieldName << "|" << o.FFieldSource << "|" << o.FisNumeric
      << o.FVisible << o.FReadOnly << o.FLocked << "|" << o.FList << "|" << o.FListStyle << "|"
      << o.FLineWidth << "|" << o.FLineColor << "|" << o.FFillColor << "|" << o.FisFilled << "|"
      << o.FText << "|" << o.FFontName << "|" << o.FFontSize << "|" << o.FFontBold
      << o.FFontUnderline << o.FFontItalic << "|" << o.FTextAlign << "|" << o.FSingleLine << "|"
      << (o.Image ? "img:" + o.Image->Bytes() : std::string("noimg")) << "|" << o.FImageGrayscale
      << "|" << o.FImageScalingMode << "|";
    for (const TPointF& p : o.Points)
        s << "(" << p.X << "," << p.Y << ")";
    return s.str();
}

std::string DumpSheet(const TCharacterSheet& sh)
{
    std::ostringstream s;
    s.precision(17);
    s << sh.Author << "|" << sh.Description << "|" << sh.Revision << "|" << sh.Width << "|"
      << sh.Height << "|" << sh.SizeUnit << "|" << sh.GridVisible << "|" << sh.GridSize << "|"
      << sh.GridSnap << "|" << sh.MarginSize << "|" << sh.WidthUserEntered << "|"
      << sh.HeightUserEntered << "|" << sh.GridSizeUserEntered << "|" << sh.MarginSizeUserEntered
      << "|" << sh.Script << "|" << sh.IncludedScript << "|" << sh.ExternalScriptFiles << "|"
      << sh.EventOnLoad << "|" << sh.EventOnUpdate << "|" << sh.EventOnPostUpdate << "|"
      << sh.EventOnSaveData << "|" << sh.DataStoreFiles << "\n";
    for (size_t i = 0; i < sh.ListNames.size(); ++i)
        s << "list " << sh.ListNames[i] << "=" << sh.ListItems[i] << "\n";
    for (const auto& p : sh.Pages) {
        s << "page " << p->Name << " print=" << p->Print << "\n";
        for (const auto& o : p->Objects)
            s << "  " << DumpStored(*o) << "\n";
    }
    for (const auto& ds : sh.DataStores) {
        s << "store " << ds->Name << " " << ds->DataStoreVersion << " " << ds->DataStoreType << " "
          << ds->Rows << "x" << ds->Cols << ":";
        for (const auto& c : ds->ColNames)
            s << c << ";";
        for (const auto& r : ds->cells)
            for (const auto& c : r)
                s << c << ";";
        s << "\n";
    }
    return s.str();
}

// Every kind, each with every stored attribute away from its default.
void FillRichSheet(TCharacterSheet& sh)
{
    sh.Author = "Ann \xC3\x89lise";
    sh.Description = "Two pages\r\nof fun";
    sh.Revision = 42;
    sh.Width = 8.27;
    sh.Height = 11.69;
    sh.SizeUnit = 1;
    sh.GridVisible = false;
    sh.GridSize = 0.25;
    sh.GridSnap = false;
    sh.MarginSize = 0.4;
    sh.WidthUserEntered = 210;
    sh.HeightUserEntered = 297;
    sh.GridSizeUserEntered = 6.35;
    sh.MarginSizeUserEntered = 10;
    sh.Script = "function onLoad() { }";
    sh.IncludedScript = "\r\nvar x = 1;\r\n";
    sh.ExternalScriptFiles = "lib.js";
    sh.EventOnLoad = "onLoad";
    sh.EventOnUpdate = "onUpd";
    sh.EventOnPostUpdate = "onPost";
    sh.EventOnSaveData = "onSave";
    sh.ListNames = {"Classes", "Empty"};
    sh.ListItems = {"Fighter\r\nWizard\r\n", ""};
    sh.DataStoreFiles = "weapons.csv";
    auto ds = std::make_unique<TCSDataStore>();
    ds->Name = "weapons";
    ds->DataStoreVersion = 1;
    ds->DataStoreType = 2;
    ds->ColNames = {"Name", "Dmg"};
    ds->cells = {{"Axe", "1d6"}, {"Bow", ""}};
    ds->Rows = 2;
    ds->Cols = 2;
    sh.DataStores.push_back(std::move(ds));

    sh.Pages[0]->Name = "Front";
    TCharacterSheetPage* back = sh.NewPage();
    back->Name = "Back";
    for (int nType = CS_ORTHLINE; nType <= CS_BUTTON; ++nType) {
        auto o = NewCSObject(nType);
        o->FFieldName = "F" + std::to_string(nType);
        o->FisNumeric = true;
        o->FVisible = false;
        o->FReadOnly = true;
        o->FLocked = true;
        o->FList = "Classes";
        o->FListStyle = CS_LISTSTYLE_OPEN;
        o->FLineWidth = 2.5 + nType;
        o->FLineColor = 0x123456u + static_cast<unsigned>(nType);
        o->FFillColor = 0xABCDEFu;
        o->FisFilled = true;
        o->FText = "caf\xC3\xA9 " + std::to_string(nType);
        o->FFontName = "Liberation Serif";
        o->FFontSize = 13.5;
        o->FFontBold = true;
        o->FFontUnderline = true;
        o->FFontItalic = true;
        o->FTextAlign = CS_ALIGN_RIGHT;
        o->FSingleLine = false;
        o->FImageGrayscale = true;
        o->FImageScalingMode = CS_IMAGE_ASIS;
        o->AddPoint(0.125 * nType, 1.0 / 3);
        o->AddPoint(-2.75, 1e-9);
        if (nType == CS_IMAGE || nType == CS_IMAGESELECT)
            o->Image = std::make_unique<TMemoryStream>(std::string("\x89PNG\r\n\x1A\n\0\xFF", 10));
        if (nType == CS_EDIT) o->SetFieldSource("max(F1, 2) + 1");
        if (nType == CS_BUTTON) o->SetFieldSource("js:alert(1)");
        (nType % 2 ? sh.Pages[0] : sh.Pages[1])->Objects.push_back(std::move(o));
    }
}

std::string SaveBytes(TCharacterSheet& sh)
{
    TMemoryStream ms;
    std::string sError;
    EXPECT_TRUE(sh.SaveToStream(ms, &sError)) << sError;
    return ms.Bytes();
}

std::string EmptySheetBytes(std::int32_t nRevision)
{
    return "CSD" + I32(2) + Str("") + Str("") + I32(nRevision) + F64(8.5) + F64(11.0) + I32(0) +
           Bool(true) + F64(0.125) + Bool(true) + F64(0.5) + F64(8.5) + F64(11.0) + F64(0.125) +
           F64(0.5) + std::string(16, '\0') + Str("") + Str("") + Str("") + Str("") + Str("") +
           Str("") + Str("") + I32(0) + I32(1) + Str("") + std::string(16, '\0') + I32(0) +
           Str("") + I32(0) + std::string(8, '\0');
}

TEST(SheetFile, EmptySheetHasTheDocumentedBytes)
{
    TCharacterSheet sh;
    sh.Revision = 3;
    EXPECT_EQ(SaveBytes(sh), EmptySheetBytes(3));

    TCharacterSheet back;
    back.GridVisible = false;
    TMemoryStream ms(EmptySheetBytes(7));
    ASSERT_TRUE(back.LoadFromStream(ms));
    EXPECT_EQ(back.Revision, 7);
    EXPECT_TRUE(back.GridVisible); // stored as 00 00 00 00
    ASSERT_EQ(back.Pages.size(), 1u);
    EXPECT_TRUE(back.Pages[0]->Objects.empty());
}

TEST(SheetFile, ObjectRecordLayout)
{
    auto o = NewCSObject(CS_CHECKBOX);
    o->FFieldName = "Hp";
    o->SetFieldSource("js:x");
    o->FisNumeric = true;
    o->FVisible = false;
    o->FReadOnly = false;
    o->FLocked = true;
    o->FList = "L";
    o->FListStyle = 1;
    o->FLineWidth = 0.5;
    o->FLineColor = 0x0000FF;
    o->FFillColor = 0x00FF00;
    o->FisFilled = false;
    o->FText = "1";
    o->FFontName = "V";
    o->FFontSize = 9;
    o->FFontBold = true;
    o->FFontUnderline = false;
    o->FFontItalic = true;
    o->FTextAlign = 2;
    o->FSingleLine = true;
    o->Image = std::make_unique<TMemoryStream>(std::string("IMG"));
    o->FImageGrayscale = false;
    o->FImageScalingMode = 1;
    o->AddPoint(1, 2);
    TMemoryStream ms;
    TAppStreamWriter w(ms);
    o->SaveToStream(w);
    std::string expected = Str("Hp") + Str("js:x") + Bool(true) + Bool(false) + Bool(false) +
                           Bool(true) + Str("L") + I32(1) + F64(0.5) + I32(0xFF) + I32(0xFF00) +
                           Bool(false) + Str("1") + Str("V") + F64(9) + Bool(true) + Bool(false) +
                           Bool(true) + I32(2) + Bool(true) + std::string(8, '\0') + Bool(true) +
                           Str("IMG") + Bool(false) + I32(1) + std::string(8, '\0') + I32(1) +
                           F64(1) + F64(2);
    EXPECT_EQ(ms.Bytes(), expected);
}

TEST(SheetFile, EveryKindAndFieldRoundTripsByteIdentically)
{
    TCharacterSheet sh;
    FillRichSheet(sh);
    std::string bytes = SaveBytes(sh);

    TCharacterSheet back;
    back.DesignMode = true;
    TMemoryStream ms(bytes + "trailing bytes are ignored");
    std::string sError;
    ASSERT_TRUE(back.LoadFromStream(ms, &sError)) << sError;
    EXPECT_EQ(DumpSheet(back), DumpSheet(sh));
    EXPECT_EQ(back.CurrentPage, 0);
    for (const auto& p : back.Pages)
        EXPECT_TRUE(p->Print);
    // Native sources are compiled on load; the button's script source is not.
    TCSObject* edit = back.GetField("F3");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->Expression->Expression(), "max(F1, 2) + 1");
    EXPECT_TRUE(edit->Expression->Compiled());
    back.DesignMode = false; // a design-mode save would regather the (missing) script file
    EXPECT_EQ(SaveBytes(back), bytes);
}

TEST(SheetFile, NotStoredStateComesBackAsConstructed)
{
    TCharacterSheet sh;
    auto o = NewCSObject(CS_BUTTON);
    o->FSelected = true;
    o->FButtonState = CS_BUTTONSTATE_DOWN;
    o->ScriptError = true;
    sh.Pages[0]->Objects.push_back(std::move(o));
    sh.Pages[0]->Print = false;
    TMemoryStream ms(SaveBytes(sh));
    TCharacterSheet back;
    ASSERT_TRUE(back.LoadFromStream(ms));
    const TCSObject& b = *back.Pages[0]->Objects[0];
    EXPECT_FALSE(b.FSelected);
    EXPECT_EQ(b.FButtonState, CS_BUTTONSTATE_UP);
    EXPECT_FALSE(b.ScriptError);
    EXPECT_TRUE(back.Pages[0]->Print);
}

// A saved sheet with one edit field whose source is total+1, with its version patched.
std::string OneFieldFile(std::int32_t nVersion, const std::string& sSource)
{
    TCharacterSheet sh;
    auto o = NewCSObject(CS_EDIT);
    o->FFieldName = "Sum";
    o->SetFieldSource(sSource);
    sh.Pages[0]->Objects.push_back(std::move(o));
    std::string bytes = SaveBytes(sh);
    return bytes.replace(3, 4, I32(nVersion));
}

TEST(SheetFile, VersionOneSourcesAreScriptCode)
{
    struct Case
    {
        std::int32_t Version;
        std::string Stored, Loaded;
    };
    const Case cases[] = {
        {1, "total+1", "js:total+1"},
        {1, "", ""},
        {2, "total+1", "total+1"},
        {0, "total+1", "total+1"},
    };
    for (const auto& c : cases) {
        TMemoryStream ms(OneFieldFile(c.Version, c.Stored));
        TCharacterSheet back;
        ASSERT_TRUE(back.LoadFromStream(ms)) << c.Version;
        EXPECT_EQ(back.Pages[0]->Objects[0]->FFieldSource, c.Loaded) << c.Version;
    }
}

TEST(SheetFile, ViewerJoinsTheIncludedScriptDesignerKeepsItApart)
{
    TCharacterSheet sh;
    sh.Script = "main();";
    sh.IncludedScript = "\r\nfunction main() {}\r\n";
    std::string bytes = SaveBytes(sh);
    for (bool bDesign : {false, true}) {
        TCharacterSheet back;
        back.DesignMode = bDesign;
        TMemoryStream ms(bytes);
        ASSERT_TRUE(back.LoadFromStream(ms));
        EXPECT_EQ(back.Script, bDesign ? "main();" : "main();\r\n\r\nfunction main() {}\r\n");
        EXPECT_EQ(back.IncludedScript, sh.IncludedScript);
    }
}

TEST(SheetFile, StreamLoadFailuresLeaveAnEmptySheet)
{
    TRecordingSink sink;
    struct Case
    {
        const char* Name;
        std::string Bytes;
        bool NewerMessage;
    };
    std::string valid = OneFieldFile(2, "a");
    const Case cases[] = {
        {"newer version", std::string(valid).replace(3, 4, I32(3)), true},
        {"negative version", std::string(valid).replace(3, 4, I32(-1)), true},
        {"wrong signature", "CSX" + valid.substr(3), false},
        {"empty", "", false},
        {"truncated", valid.substr(0, valid.size() - 1), false},
    };
    for (const auto& c : cases) {
        sink.Messages.clear();
        TCharacterSheet sh;
        sh.Author = "kept";
        TMemoryStream ms(c.Bytes);
        std::string sError;
        EXPECT_FALSE(sh.LoadFromStream(ms, &sError)) << c.Name;
        EXPECT_FALSE(sError.empty()) << c.Name;
        EXPECT_TRUE(sh.Pages.empty()) << c.Name;
        EXPECT_EQ(sink.Messages,
                  c.NewerMessage ? std::vector<std::string>{kNewer} : std::vector<std::string>{})
            << c.Name;
    }
}

TEST(SheetFile, EveryTruncationOfAValidFileIsReportedAsDamage)
{
    TCharacterSheet sh;
    FillRichSheet(sh);
    std::string bytes = SaveBytes(sh);
    for (size_t n = 3 + 4; n < bytes.size(); ++n) {
        TCharacterSheet back;
        TMemoryStream ms(bytes.substr(0, n));
        std::string sError;
        ASSERT_FALSE(back.LoadFromStream(ms, &sError)) << n;
        ASSERT_NE(sError.find("damaged"), std::string::npos) << n << ": " << sError;
    }
}

// Byte offset of the first page's object count in a file from OneFieldFile.
size_t FirstObjectTypeOffset(const std::string& bytes)
{
    size_t n = bytes.find(Str("Sum"));
    return n - 4;
}

TEST(SheetFile, DamagedCountsAndTypesAreRejected)
{
    std::string valid = OneFieldFile(2, "");
    size_t nType = FirstObjectTypeOffset(valid);
    size_t nObjects = nType - 4;
    size_t nPages = nObjects - 16 - 4 - 4;
    ASSERT_EQ(valid.substr(nPages, 4), I32(1));
    ASSERT_EQ(valid.substr(nObjects, 4), I32(1));
    ASSERT_EQ(valid.substr(nType, 4), I32(CS_EDIT));
    const std::pair<const char*, std::string> cases[] = {
        {"type 9", std::string(valid).replace(nType, 4, I32(9))},
        {"type -1", std::string(valid).replace(nType, 4, I32(-1))},
        {"huge object count", std::string(valid).replace(nObjects, 4, I32(0x7FFFFFFF))},
        {"negative object count", std::string(valid).replace(nObjects, 4, I32(-3))},
        {"huge page count", std::string(valid).replace(nPages, 4, I32(50'000'000))},
        {"huge list count", std::string(valid).replace(nPages - 4, 4, I32(0x40000000))},
    };
    for (const auto& [name, bytes] : cases) {
        TCharacterSheet back;
        TMemoryStream ms(bytes);
        std::string sError;
        EXPECT_FALSE(back.LoadFromStream(ms, &sError)) << name;
        EXPECT_NE(sError.find("damaged"), std::string::npos) << name << ": " << sError;
    }
}

class SheetFileOnDisk : public ::testing::Test
{
protected:
    TTempDir dir;
    TRecordingSink sink;

    // The open document that failed loads must leave alone.
    void OpenDocument(TCharacterSheet& sh)
    {
        FillRichSheet(sh);
        sh.DesignMode = true;
        sh.FileName = dir.File("open.csd");
        sh.Modified = true;
    }
};

TEST_F(SheetFileOnDisk, SaveAndLoadThroughFiles)
{
    TCharacterSheet sh;
    FillRichSheet(sh);
    sh.Modified = true;
    std::string sFile = dir.File("hero.csd");
    std::string sError;
    ASSERT_TRUE(sh.SaveToFile(sFile, &sError)) << sError;
    EXPECT_EQ(sh.FileName, sFile);
    EXPECT_FALSE(sh.Modified);
    EXPECT_EQ(ReadBytes(sFile), SaveBytes(sh));
    EXPECT_EQ(sh.GetRevisionFromFile(sFile), 42);

    // A write-protected sheet still opens.
    ::chmod(sFile.c_str(), 0444);
    TCharacterSheet back;
    back.DesignMode = true;
    back.Modified = true;
    ASSERT_TRUE(back.LoadFromFile(sFile, &sError)) << sError;
    EXPECT_EQ(DumpSheet(back), DumpSheet(sh));
    EXPECT_EQ(back.FileName, sFile);
    EXPECT_FALSE(back.Modified);
}

TEST_F(SheetFileOnDisk, FailedLoadsKeepTheOpenDocument)
{
    std::string valid = OneFieldFile(2, "x");
    WriteBytes(dir.File("newer.csd"), std::string(valid).replace(3, 4, I32(3)));
    WriteBytes(dir.File("notes.txt"), "Just some notes");
    WriteBytes(dir.File("cut.csd"), valid.substr(0, valid.size() / 2));
    WriteBytes(dir.File("badtype.csd"),
               std::string(valid).replace(FirstObjectTypeOffset(valid), 4, I32(12)));
    std::filesystem::create_directories(dir.File("folder.csd"));
    struct Case
    {
        std::string File, Says;
    };
    const Case cases[] = {
        {"missing.csd", "does not exist"},
        {"folder.csd", "folder"},
        {"notes.txt", "not a sheet"},
        {"cut.csd", "damaged"},
        {"badtype.csd", "unknown object type 12"},
        {"newer.csd", kNewer},
    };
    for (const auto& c : cases) {
        sink.Messages.clear();
        TCharacterSheet sh;
        OpenDocument(sh);
        std::string before = DumpSheet(sh);
        std::string sError;
        EXPECT_FALSE(sh.LoadFromFile(dir.File(c.File), &sError)) << c.File;
        EXPECT_NE(sError.find(c.Says), std::string::npos) << sError;
        EXPECT_NE(sError.find(dir.File(c.File)), std::string::npos) << sError;
        EXPECT_EQ(sError.find('\n'), std::string::npos) << sError;
        EXPECT_EQ(DumpSheet(sh), before) << c.File;
        EXPECT_EQ(sh.FileName, dir.File("open.csd"));
        EXPECT_TRUE(sh.Modified);
        EXPECT_EQ(sink.Messages.size(), c.File == "newer.csd" ? 1u : 0u) << c.File;
    }
    EXPECT_EQ(sink.Messages, std::vector<std::string>{kNewer});
}

TEST_F(SheetFileOnDisk, FailedSavesKeepTheOldFileAndTheDocumentState)
{
    std::string sFile = dir.File("hero.csd");
    TCharacterSheet sh;
    FillRichSheet(sh);
    ASSERT_TRUE(sh.SaveToFile(sFile));
    std::string oldBytes = ReadBytes(sFile);

    // An image the format cannot read back is refused, naming the object.
    sh.Pages[0]->Objects[1]->Image =
        std::make_unique<TMemoryStream>(std::string(CS_STRING_BOUND, 'i'));
    sh.Pages[0]->Objects[1]->FFieldName = "Portrait";
    sh.FileName = dir.File("elsewhere.csd");
    sh.Modified = true;
    std::string sError;
    EXPECT_FALSE(sh.SaveToFile(sFile, &sError));
    EXPECT_NE(sError.find("image"), std::string::npos) << sError;
    EXPECT_NE(sError.find("\"Portrait\""), std::string::npos) << sError;
    EXPECT_NE(sError.find("page 1"), std::string::npos) << sError;
    EXPECT_EQ(ReadBytes(sFile), oldBytes);
    EXPECT_EQ(sh.FileName, dir.File("elsewhere.csd"));
    EXPECT_TRUE(sh.Modified);

    // So is a text of that size.
    sh.Pages[0]->Objects[1]->ClearImage();
    sh.Script = std::string(CS_STRING_BOUND, 's');
    EXPECT_FALSE(sh.SaveToFile(sFile, &sError));
    EXPECT_NE(sError.find("sheet script"), std::string::npos) << sError;
    EXPECT_EQ(ReadBytes(sFile), oldBytes);

    // A write-protected target and a missing folder fail before touching anything.
    sh.Script.clear();
    ::chmod(sFile.c_str(), 0444);
    EXPECT_FALSE(sh.SaveToFile(sFile, &sError));
    EXPECT_NE(sError.find("read-only"), std::string::npos) << sError;
    EXPECT_EQ(ReadBytes(sFile), oldBytes);
    EXPECT_FALSE(sh.SaveToFile(dir.File("no/such/folder.csd"), &sError));
    EXPECT_NE(sError.find("no/such/folder.csd"), std::string::npos) << sError;
    EXPECT_EQ(sh.FileName, dir.File("elsewhere.csd"));
    EXPECT_TRUE(sh.Modified);
    // No temporary files are left beside the target.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(SheetFileOnDisk, SavingThroughALinkReplacesTheLinkedFile)
{
    std::filesystem::create_directories(dir.File("real"));
    std::string sReal = dir.File("real/hero.csd");
    WriteBytes(sReal, "old");
    std::filesystem::create_symlink(sReal, dir.File("link.csd"));
    TCharacterSheet sh;
    ASSERT_TRUE(sh.SaveToFile(dir.File("link.csd")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.csd")));
    EXPECT_EQ(ReadBytes(sReal), SaveBytes(sh));
}

TEST_F(SheetFileOnDisk, DesignModeSaveGathersScriptAndCsvFiles)
{
    WriteBytes(dir.File("lib.js"), "function half(x) {\n  return x / 2;\n}");
    WriteBytes(dir.File("old.js"), "var s = '\xE9';");
    WriteBytes(dir.File("weapons.csv"), "Name,Damage\r\nAxe,1d6\r\n");
    TCharacterSheet sh;
    sh.DesignMode = true;
    sh.FileName = dir.File("hero.csd");
    sh.ExternalScriptFiles = "  lib.js  \r\nmissing.js\r\nold.js";
    sh.DataStoreFiles = "weapons.csv";
    std::string sFile = dir.File("hero.csd");
    ASSERT_TRUE(sh.SaveToFile(sFile));
    EXPECT_EQ(sh.IncludedScript,
              "\r\nfunction half(x) {\r\n  return x / 2;\r\n}\r\n\r\nvar s = '\xC3\xA9';\r\n");

    TCharacterSheet viewer; // not in design mode: nothing is rebuilt on load
    WriteBytes(dir.File("weapons.csv"), "Name,Damage\r\nAxe,2d6\r\n");
    ASSERT_TRUE(viewer.LoadFromFile(sFile));
    EXPECT_EQ(viewer.Lookup("weapons", "Axe", "Damage"), "1d6");
    EXPECT_NE(viewer.Script.find("return x / 2;"), std::string::npos);
}

TEST_F(SheetFileOnDisk, RevisionOfFilesThatAreNotSheets)
{
    WriteBytes(dir.File("other.bin"), "XYZ" + I32(2) + Str("") + Str("") + I32(9));
    WriteBytes(dir.File("short.csd"), "CSD" + I32(2) + Str("a"));
    TCharacterSheet sh;
    EXPECT_EQ(sh.GetRevisionFromFile(dir.File("missing.csd")), 0);
    EXPECT_EQ(sh.GetRevisionFromFile(dir.File("other.bin")), 0);
    EXPECT_EQ(sh.GetRevisionFromFile(dir.File("short.csd")), 0);
}

} // namespace
} // namespace ff

// Builds the bundled example sheet through the document model: a two-page adventurer's
// record with ability scores and computed modifiers, pick lists, check boxes, a portrait
// field, a button, and a weapons table looked up from a CSV data store.
//
// Usage: make_example_sheet [OUT.csd [WEAPONS.csv]]
// OUT defaults to example-sheet.csd; WEAPONS to the weapons.csv beside this source file. The
// CSV file is copied beside OUT, so that saving the sheet again in the designer rebuilds the
// table from it.
#include "model/ClassCSField.h"
#include "model/ClassCharSheet.h"
#include "persistence/ClassCSDataStore.h"
#include "rendering/Bitmap.h"
#include "rendering/QtImageCodec.h"
#include "support/Files.h"

#include <QGuiApplication>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using namespace ff;

TCSObject* Add(TCharacterSheetPage& page, std::unique_ptr<TCSObject> o)
{
    TCSObject* p = o.get();
    page.Objects.push_back(std::move(o));
    return p;
}

TCSObject* Rect(TCharacterSheetPage& page, int nType, const std::string& sName, double x0,
                double y0, double x2, double y2)
{
    auto o = NewCSObject(nType);
    o->FFieldName = sName;
    o->AddPoint(x0, y0);
    o->AddPoint(x0, y2);
    o->AddPoint(x2, y2);
    o->AddPoint(x2, y0);
    o->FinalizePoints();
    return Add(page, std::move(o));
}

// A label anchored at (x, y); drawing measures its text and lays out its box.
TCSObject* Label(TCharacterSheetPage& page, const std::string& sText, double x, double y,
                 double dSize = 9, bool bBold = false)
{
    auto o = NewCSObject(CS_LABEL);
    o->FText = sText;
    o->FFontSize = dSize;
    o->FFontBold = bBold;
    double w = 0.55 * dSize / 72.0 * static_cast<double>(sText.size());
    double h = 1.2 * dSize / 72.0;
    o->AddPoint(x, y);
    o->AddPoint(x, y + h);
    o->AddPoint(x + w, y + h);
    o->AddPoint(x + w, y);
    return Add(page, std::move(o));
}

TCSObject* Edit(TCharacterSheetPage& page, const std::string& sName, double x0, double y0,
                double x2, double y2, const std::string& sText = "")
{
    TCSObject* o = Rect(page, CS_EDIT, sName, x0, y0, x2, y2);
    o->FText = sText;
    o->FFontSize = 10;
    return o;
}

TCSObject* Computed(TCharacterSheetPage& page, const std::string& sName, double x0, double y0,
                    double x2, double y2, const std::string& sSource)
{
    TCSObject* o = Edit(page, sName, x0, y0, x2, y2);
    o->SetFieldSource(sSource);
    o->FReadOnly = true;
    o->FisNumeric = true;
    o->FTextAlign = CS_ALIGN_CENTER;
    o->FFontBold = true;
    return o;
}

void Line(TCharacterSheetPage& page, int nType, double x0, double y0, double x1, double y1,
          double dWidth)
{
    auto o = NewCSObject(nType);
    o->AddPoint(x0, y0);
    o->AddPoint(x1, y1);
    o->FLineWidth = dWidth;
    o->FinalizePoints();
    Add(page, std::move(o));
}

// A small heraldic shield as PNG bytes, through the installed image codec; empty when no PNG
// encoder is available.
std::string ShieldPng()
{
    TImageCodec* codec = GetImageCodec();
    if (!codec) return {};
    int nPng = -1;
    for (size_t i = 0; i < codec->Encoders().size(); ++i)
        if (codec->Encoders()[i].MimeType == "image/png") nPng = static_cast<int>(i);
    if (nPng < 0) return {};
    const int n = 48;
    TBitmap bmp(n, n, MakeArgb(0, 255, 255, 255));
    for (int y = 0; y < n; ++y) {
        // Straight sides, then a curve to the point at the bottom.
        double half = y < n / 2 ? n / 2.0 - 4 : (n / 2.0 - 4) * (1.0 - (y - n / 2.0) / (n / 2.0));
        for (int x = 0; x < n; ++x) {
            double dx = x - n / 2.0 + 0.5;
            if (dx < -half || dx > half) continue;
            bool bEdge = dx < -half + 2 || dx > half - 2 || y < 2;
            bool bQuarter = (dx < 0) == (y < n / 2);
            TArgb c = bEdge      ? MakeArgb(255, 60, 50, 20)
                      : bQuarter ? MakeArgb(255, 170, 30, 40)
                                 : MakeArgb(255, 230, 190, 60);
            bmp.SetPixel(x, y, c);
        }
    }
    std::string sPng;
    return codec->Encode(bmp, nPng, sPng) ? sPng : std::string();
}

void CharacterPage(TCharacterSheetPage& page)
{
    page.Name = "Character";
    Label(page, "Adventurer's Record", 0.5, 0.45, 20, true);
    Line(page, CS_ORTHLINE, 0.5, 0.85, 8.0, 0.85, 2);

    Label(page, "Character name", 0.5, 0.95, 7);
    Edit(page, "CharName", 0.5, 1.1, 3.4, 1.4);
    Label(page, "Class", 3.5, 0.95, 7);
    TCSObject* cls = Edit(page, "Class", 3.5, 1.1, 4.9, 1.4, "Fighter");
    cls->FList = "Classes";
    Label(page, "Level", 3.5, 1.45, 7);
    TCSObject* lvl = Edit(page, "Level", 3.5, 1.6, 4.0, 1.9, "1");
    lvl->FisNumeric = true;
    lvl->FTextAlign = CS_ALIGN_CENTER;
    Label(page, "Alignment", 0.5, 1.45, 7);
    TCSObject* al = Edit(page, "Alignment", 0.5, 1.6, 3.4, 1.9, "Neutral Good");
    al->FList = "Alignments";
    al->FListStyle = CS_LISTSTYLE_OPEN;

    TCSObject* portrait = Rect(page, CS_IMAGESELECT, "Portrait", 5.25, 0.95, 8.0, 4.1);
    portrait->FLineWidth = 1.5;

    const char* kAbilities[][2] = {{"Strength", "Str"},     {"Dexterity", "Dex"},
                                   {"Constitution", "Con"}, {"Intelligence", "Int"},
                                   {"Wisdom", "Wis"},       {"Charisma", "Cha"}};
    const char* kScores[] = {"15", "14", "13", "12", "10", "8"};
    Label(page, "Save", 2.65, 2.05, 7, true);
    for (int i = 0; i < 6; ++i) {
        double y = 2.25 + i * 0.75;
        std::string sKey = kAbilities[i][1];
        TCSObject* box = Rect(page, CS_BOX, sKey + "Box", 0.5, y, 2.5, y + 0.65);
        box->FLineWidth = 1.5;
        box->FisFilled = true;
        box->FFillColor = RGBColor(245, 240, 228);
        Label(page, kAbilities[i][0], 0.6, y + 0.04, 7, true);
        TCSObject* score = Edit(page, sKey, 0.6, y + 0.22, 1.3, y + 0.58, kScores[i]);
        score->FisNumeric = true;
        score->FTextAlign = CS_ALIGN_CENTER;
        score->FFontSize = 14;
        // The modifier: half the distance from 10, rounded down.
        Computed(page, sKey + "Mod", 1.5, y + 0.22, 2.35, y + 0.58,
                 "floor((" + sKey + " - 10) / 2)");
        TCSObject* save = Rect(page, CS_CHECKBOX, sKey + "Save", 2.7, y + 0.28, 2.9, y + 0.48);
        save->SetChecked(i == 1 || i == 2); // a fighter trained in Dexterity and Constitution
    }

    Label(page, "Armour class", 3.3, 4.3, 7, true);
    Computed(page, "AC", 3.3, 4.45, 4.1, 4.85, "10 + DexMod");
    Label(page, "Initiative", 4.4, 4.3, 7, true);
    Computed(page, "Initiative", 4.4, 4.45, 5.2, 4.85, "DexMod");
    Label(page, "Hit points", 5.5, 4.3, 7, true);
    Computed(page, "MaxHP", 5.5, 4.45, 6.3, 4.85,
             "max(1, 10 + ConMod + (Level - 1) * (6 + ConMod))");
    Label(page, "Current", 6.6, 4.3, 7, true);
    TCSObject* hp = Edit(page, "HP", 6.6, 4.45, 7.4, 4.85, "12");
    hp->FisNumeric = true;
    hp->FTextAlign = CS_ALIGN_CENTER;

    TCSObject* roll = Rect(page, CS_BUTTON, "RollInit", 3.3, 5.1, 5.2, 5.45);
    roll->FText = "Roll initiative";
    roll->SetFieldSource("js:rollInitiative()");
    Label(page, "Roll", 5.5, 5.0, 7, true);
    TCSObject* res = Edit(page, "InitRoll", 5.5, 5.1, 6.3, 5.45);
    res->FReadOnly = true;
    res->FTextAlign = CS_ALIGN_CENTER;

    Label(page, "Proficient in heavy armour", 3.55, 5.75, 8);
    Rect(page, CS_CHECKBOX, "HeavyArmour", 3.3, 5.75, 3.45, 5.9);
    Label(page, "Inspiration", 3.55, 6.0, 8);
    Rect(page, CS_CHECKBOX, "Inspiration", 3.3, 6.0, 3.45, 6.15);

    Line(page, CS_ORTHLINE, 0.5, 10.5, 8.0, 10.5, 1);
    Line(page, CS_LINE, 0.5, 10.6, 8.0, 10.45, 0.5);
    Label(page, "Made with Folioforge", 0.5, 10.6, 6);
}

void EquipmentPage(TCharacterSheetPage& page, const std::string& sShield)
{
    page.Name = "Equipment";
    Label(page, "Weapons and Gear", 0.5, 0.45, 18, true);
    Line(page, CS_ORTHLINE, 0.5, 0.85, 8.0, 0.85, 2);
    Label(page, "Weapon", 0.5, 1.0, 7, true);
    Label(page, "Damage", 3.0, 1.0, 7, true);
    Label(page, "Type", 4.0, 1.0, 7, true);
    Label(page, "Properties", 5.2, 1.0, 7, true);
    const char* kCarried[] = {"Longsword", "Dagger", "Shortbow", ""};
    for (int i = 0; i < 4; ++i) {
        double y = 1.2 + i * 0.4;
        std::string n = "Weapon" + std::to_string(i + 1);
        TCSObject* w = Edit(page, n, 0.5, y, 2.9, y + 0.3, kCarried[i]);
        w->FList = "weapons"; // the store's keys make the pick list
        auto look = [&](const char* sCol) {
            return std::string("lookup(\"weapons\", ") + n + ", \"" + sCol + "\")";
        };
        Computed(page, n + "Dmg", 3.0, y, 3.9, y + 0.3, look("Damage"))->FisNumeric = false;
        Computed(page, n + "Type", 4.0, y, 5.1, y + 0.3, look("Type"))->FisNumeric = false;
        TCSObject* props = Computed(page, n + "Props", 5.2, y, 8.0, y + 0.3, look("Properties"));
        props->FisNumeric = false;
        props->FTextAlign = CS_ALIGN_LEFT;
        props->FFontBold = false;
    }

    Label(page, "Notes", 0.5, 3.0, 7, true);
    TCSObject* notes =
        Edit(page, "Notes", 0.5, 3.15, 8.0, 6.0, "Owes the innkeeper of the Prancing Pony 3 gp.");
    notes->FSingleLine = false;
    notes->FLineWidth = 0.5;

    if (!sShield.empty()) {
        TCSObject* emblem = Rect(page, CS_IMAGE, "Emblem", 6.5, 6.3, 7.5, 7.3);
        emblem->Image = std::make_unique<TMemoryStream>(sShield);
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::string sOut = argc > 1 ? argv[1] : "example-sheet.csd";
    std::string sCsv =
        argc > 2 ? argv[2]
                 : (std::filesystem::path(__FILE__).parent_path() / "weapons.csv").string();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    InstallQtImageCodec();

    auto bytes = ReadFileBytes(sCsv);
    if (!bytes) {
        std::fprintf(stderr, "make_example_sheet: cannot read \"%s\"\n", sCsv.c_str());
        return 1;
    }
    std::string sError;
    std::string sCsvOut = JoinPath(ExtractFileDir(sOut), "weapons.csv");
    std::error_code ec;
    if (!ExtractFileDir(sOut).empty())
        std::filesystem::create_directories(ExtractFileDir(sOut), ec);
    if (!std::filesystem::equivalent(sCsv, sCsvOut, ec) &&
        !WriteFileAtomically(sCsvOut, *bytes, sError)) {
        std::fprintf(stderr, "make_example_sheet: %s\n", sError.c_str());
        return 1;
    }

    TCharacterSheet sh;
    sh.DesignMode = true;
    sh.Author = "The Folioforge team";
    sh.Description = "An adventurer's record: abilities with computed modifiers, pick lists, "
                     "and a weapons table looked up from a CSV data store.";
    sh.Revision = 1;
    sh.SetList("Classes", "Bard\r\nCleric\r\nFighter\r\nRanger\r\nRogue\r\nWizard\r\n");
    sh.SetList("Alignments", "Lawful Good\r\nNeutral Good\r\nChaotic Good\r\nLawful Neutral\r\n"
                             "True Neutral\r\nChaotic Neutral\r\n");
    sh.Script = "function rollInitiative() {\r\n"
                "  var d20 = Math.floor(Math.random() * 20) + 1;\r\n"
                "  InitRoll.Text = String(d20 + Number(Initiative.Text));\r\n"
                "}\r\n"
                "function sheetLoaded() {\r\n"
                "  InitRoll.Text = \"\";\r\n"
                "}\r\n";
    sh.EventOnLoad = "sheetLoaded";
    sh.DataStoreFiles = "weapons.csv";
    CharacterPage(*sh.Pages[0]);
    EquipmentPage(*sh.NewPage(), ShieldPng());

    // Saved as the designer saves: the data store is built from the CSV file beside the sheet.
    sh.FileName = sOut;
    if (!sh.SaveToFile(sOut, &sError)) {
        std::fprintf(stderr, "make_example_sheet: %s\n", sError.c_str());
        return 1;
    }
    const TCSDataStore* ds = sh.GetDataStore("weapons");
    if (!ds || ds->Rows == 0) {
        std::fprintf(stderr, "make_example_sheet: the weapons table did not load from \"%s\"\n",
                     sCsvOut.c_str());
        return 1;
    }
    std::printf("Wrote %s: %zu pages, %zu objects, weapons table of %d rows\n", sOut.c_str(),
                sh.Pages.size(), sh.AllObjects().size(), ds->Rows);
    return 0;
}

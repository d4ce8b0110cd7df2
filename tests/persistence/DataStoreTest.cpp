// CSV import byte by byte, data store queries and records, and the sheet's store and list
// operations, including the expression function lookup.
#include "PersistTestUtil.h"

#include "expression/KELDExpression.h"
#include "model/ClassCSField.h"
#include "model/ClassCharSheet.h"
#include "persistence/AppStreamWriter.h"
#include "persistence/CSVReader.h"
#include "persistence/ClassCSDataStore.h"

#include <gtest/gtest.h>

namespace ff {
namespace {

using namespace test;
using Row = std::vector<std::string>;

TEST(CSVReader, ParseLineRules)
{
    struct Case
    {
        const char* Line;
        Row Items; // empty: the line adds no row
    };
    const Case cases[] = {
        {"  a  , b ,\"c,d\"", {"a", "b", "c,d"}},
        {"x,", {"x"}},
        {"x, ", {"x", " "}},
        {"last ", {"last "}},
        {"\"say \"\"hi\"\"\"", {"say hi"}},
        {"\t q\t,", {"q"}},
        {",,", {"", ""}},
        {";a,b", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        TCSVReader r;
        r.ParseLine(c.Line, false);
        if (c.Items.empty()) {
            EXPECT_TRUE(r.cells.empty()) << c.Line;
        } else {
            ASSERT_EQ(r.cells.size(), 1u) << c.Line;
            EXPECT_EQ(r.cells[0], c.Items) << c.Line;
        }
    }
}

TEST(CSVReader, RaggedRowsArePaddedToTheWidestRow)
{
    TCSVReader r;
    r.LoadFromBytes("Name,Damage,Cost\r\nDagger,1d4\r\nSword,1d8,15,Martial\r\n");
    EXPECT_EQ(r.Cols, 4);
    EXPECT_EQ(r.Rows, 2);
    EXPECT_EQ(r.ColNames, (Row{"Name", "Damage", "Cost", ""}));
    EXPECT_EQ(r.cells[0], (Row{"Dagger", "1d4", "", ""}));
    EXPECT_EQ(r.cells[1], (Row{"Sword", "1d8", "15", "Martial"}));
}

TEST(CSVReader, LineBreakHandling)
{
    struct Case
    {
        const char* Name;
        std::string Bytes;
        Row Header;
        std::vector<Row> Rows;
    };
    const Case cases[] = {
        // Without any CR every LF is dropped: one logical line, the header.
        {"line feeds only", "a,b\n1,2\n", {"a", "b1", "2"}, {}},
        // Quoted CR stays, quoted LF goes.
        {"breaks inside quotes", "h1,h2\r\n\"x\r\ny\",z\r\n", {"h1", "h2"}, {{"x\ry", "z"}}},
        // Once a CR was seen, a bare LF ends lines too.
        {"mixed endings", "h\r\n1\n2\r\n", {"h"}, {{"1"}, {"2"}}},
        {"no final break", "h\r\nlast", {"h"}, {{"last"}}},
        // An ignored first line still counts as the header line.
        {"comment first", ";note\r\nA,B\r\n", {"", ""}, {{"A", "B"}}},
        {"blank lines", "h\r\n\r\n\r\nv\r\n", {"h"}, {{"v"}}},
    };
    for (const auto& c : cases) {
        TCSVReader r;
        r.LoadFromBytes(c.Bytes);
        EXPECT_EQ(r.ColNames, c.Header) << c.Name;
        EXPECT_EQ(r.cells, c.Rows) << c.Name;
        EXPECT_EQ(r.Rows, static_cast<int>(c.Rows.size())) << c.Name;
    }
}

TEST(CSVReader, UnbalancedQuoteSwallowsSeparatorsUntilTheNextQuote)
{
    TCSVReader r;
    r.LoadFromBytes("h\r\n\"a,b\r\nc\r\n");
    ASSERT_EQ(r.Rows, 1);
    EXPECT_EQ(r.cells[0], (Row{"a,b\rc\r"}));
}

TEST(DataStore, ImportsCsvFileAsUtf8)
{
    TTempDir dir;
    WriteBytes(dir.File("w.csv"), "Name,Note\r\nCaf\xE9,\x80 5\r\n");
    TCSDataStore ds;
    ds.Name = "w";
    ASSERT_TRUE(ds.LoadFromCSV(dir.File("w.csv")));
    EXPECT_EQ(ds.Name, "w");
    EXPECT_EQ(ds.Get("note", 0), "\xE2\x82\xAC 5");
    EXPECT_EQ(ds.GetCell(0, 0), "Caf\xC3\xA9");

    EXPECT_FALSE(ds.LoadFromCSV(dir.File("missing.csv")));
    EXPECT_EQ(ds.Rows, 0);
    EXPECT_EQ(ds.Cols, 0);
}

TCSDataStore Weapons()
{
    TCSDataStore ds;
    ds.Name = "Weapons";
    ds.ColNames = {"Name", "Damage", "Cost"};
    ds.cells = {{"Dagger", "1d4", "2"}, {"", "x", "y"}, {"dagger", "1d4+1", "3"}};
    ds.Rows = 3;
    ds.Cols = 3;
    return ds;
}

TEST(DataStore, Queries)
{
    TCSDataStore ds = Weapons();
    EXPECT_EQ(ds.GetFieldNum("DAMAGE"), 1);
    EXPECT_EQ(ds.GetFieldNum("Weight"), -1);
    EXPECT_EQ(ds.Lookup("DAGGER", "damage"), "1d4+1"); // the last match wins
    EXPECT_EQ(ds.Lookup("Sword", "Damage"), "");
    EXPECT_EQ(ds.Lookup("Dagger", "Weight"), "");
    EXPECT_EQ(ds.GetCell(3, 0), "");
    EXPECT_EQ(ds.GetCell(0, 3), "");
    EXPECT_EQ(ds.GetCell(-1, 0), "");
    EXPECT_EQ(ds.Get("Weight", 0), "");
    EXPECT_EQ(ds.GetKeys(), "Dagger\r\ndagger\r\n");
    std::vector<std::string> keys{"first"};
    ds.AddKeysToList(keys);
    EXPECT_EQ(keys, (Row{"first", "Dagger", "dagger"}));
}

TEST(DataStore, AppendPadsToTheLongestRow)
{
    TCSDataStore target;
    TCSDataStore src;
    src.ColNames = {"K", "V"};
    src.cells = {{"a", "1"}, {"b", "2"}};
    src.Rows = 2;
    src.Cols = 2;
    target.Append(&src); // an empty store takes the column names
    EXPECT_EQ(target.ColNames, (Row{"K", "V"}));
    TCSDataStore wide;
    wide.ColNames = {"X", "Y", "Z"};
    wide.cells = {{"c", "3", "extra"}};
    wide.Rows = 1;
    wide.Cols = 3;
    target.Append(&wide);
    EXPECT_EQ(target.Rows, 3);
    EXPECT_EQ(target.Cols, 3);
    EXPECT_EQ(target.ColNames, (Row{"K", "V", ""}));
    EXPECT_EQ(target.cells[0], (Row{"a", "1", ""}));
    EXPECT_EQ(target.cells[2], (Row{"c", "3", "extra"}));

    target.Append(&target); // appending a store to itself doubles it
    EXPECT_EQ(target.Rows, 6);
    EXPECT_EQ(target.cells[5], (Row{"c", "3", "extra"}));

    TCSDataStore empty;
    target.Append(&empty);
    target.Append(nullptr);
    EXPECT_EQ(target.Rows, 6);
}

TEST(DataStore, RecordRoundTripAndLayout)
{
    TCSDataStore ds = Weapons();
    ds.DataStoreVersion = 7;
    ds.DataStoreType = 9;
    TMemoryStream ms;
    TAppStreamWriter w(ms);
    ds.SaveToStream(w);
    std::string expected = I32(7) + I32(9) + Str("Weapons") + I32(3) + I32(3) + Str("Name") +
                           Str("Damage") + Str("Cost") + Str("Dagger") + Str("1d4") + Str("2") +
                           Str("") + Str("x") + Str("y") + Str("dagger") + Str("1d4+1") + Str("3");
    EXPECT_EQ(ms.Bytes(), expected);

    ms.SetPosition(0);
    TCSDataStore back;
    ASSERT_TRUE(back.LoadFromStream(w));
    EXPECT_EQ(back.DataStoreVersion, 7);
    EXPECT_EQ(back.DataStoreType, 9);
    EXPECT_EQ(back.Name, "Weapons");
    EXPECT_EQ(back.ColNames, ds.ColNames);
    EXPECT_EQ(back.cells, ds.cells);
}

TEST(DataStore, DamagedRecordCountsAreRejectedBeforeAllocating)
{
    const std::string head = I32(0) + I32(0) + Str("s");
    const std::string cases[] = {
        head + I32(-1) + I32(2),
        head + I32(2) + I32(-1),
        head + I32(0x7FFFFFFF) + I32(0x7FFFFFFF),
        head + I32(0x7FFFFFFF) + I32(0), // rows without cells, far too many
        head + I32(1) + I32(3) + Str("a") + Str("b"),
    };
    for (const auto& bytes : cases) {
        TMemoryStream ms(bytes);
        TAppStreamWriter w(ms);
        TCSDataStore ds;
        EXPECT_FALSE(ds.LoadFromStream(w));
        EXPECT_TRUE(w.Failed());
    }
}

class SheetStores : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto ds = std::make_unique<TCSDataStore>();
        *ds = Weapons();
        sheet.DataStores.push_back(std::move(ds));
    }
    TCharacterSheet sheet;
};

TEST_F(SheetStores, LoadListTakesNonBlankValuesOfAColumn)
{
    sheet.DataStores[0]->cells[1][1] = "  ";
    sheet.LoadList("weapons", "Damage");
    EXPECT_EQ(sheet.GetList("weapons"), "1d4\r\n1d4+1\r\n");
    sheet.LoadList("nostore", "Damage"); // creates an empty list
    EXPECT_GE(sheet.FindList("nostore"), 0);
    EXPECT_EQ(sheet.GetList("nostore"), "");
}

TEST_F(SheetStores, CombineCreatesTheTargetAndAppends)
{
    sheet.CombineDataStore("All", "Weapons");
    sheet.CombineDataStore("All", "weapons");
    sheet.CombineDataStore("All", "Missing");
    sheet.CombineDataStore("", "Weapons");
    ASSERT_EQ(sheet.DataStores.size(), 2u);
    TCSDataStore* all = sheet.GetDataStore("all");
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(all->Rows, 6);
    EXPECT_EQ(all->ColNames, sheet.DataStores[0]->ColNames);
}

TEST_F(SheetStores, AddToListSkipsItemsPresentIgnoringCase)
{
    sheet.SetList("Spells", "Light\r\nSleep");
    sheet.AddToList("Spells", "sleep");
    EXPECT_EQ(sheet.GetList("Spells"), "Light\r\nSleep");
    sheet.AddToList("Spells", "Fireball");
    EXPECT_EQ(sheet.GetList("Spells"), "Light\r\nSleep\r\nFireball\r\n");
    // A store's keys are the starting text of a list of the same name.
    sheet.AddToList("Weapons", "Club");
    EXPECT_EQ(sheet.ListItems[static_cast<size_t>(sheet.FindList("Weapons"))],
              "Dagger\r\ndagger\r\nClub\r\n");
}

TEST_F(SheetStores, LookupThroughTheSheetAndTheExpressionFunction)
{
    EXPECT_EQ(sheet.Lookup("WEAPONS", "dagger", "Cost"), "3");
    EXPECT_EQ(sheet.Lookup("Armour", "dagger", "Cost"), "");

    TCSEdit field;
    field.SetFieldSource("lookup(\"Weapons\", \"Dagger\", \"Damage\")");
    TCharacterSheet* old = ActiveScriptSheet;
    ActiveScriptSheet = nullptr;
    ASSERT_TRUE(field.Expression->Execute()) << field.Expression->ErrorMsg;
    EXPECT_EQ(field.Expression->Answer.AsText(), "");
    ActiveScriptSheet = &sheet;
    ASSERT_TRUE(field.Expression->Execute()) << field.Expression->ErrorMsg;
    EXPECT_EQ(field.Expression->Answer.AsText(), "1d4+1");
    ActiveScriptSheet = old;
}

TEST(SheetCompileDataStores, FindsFilesBesideTheSheetAndKeepsTablesWhoseFileIsGone)
{
    TTempDir dir;
    WriteBytes(dir.File("weapons.csv"), "Name,Damage\r\nAxe,1d6\r\n");
    std::filesystem::create_directories(dir.File("data"));
    WriteBytes(dir.File("data/armour.csv"), "Name,AC\r\nLeather,11\r\n");
    TCharacterSheet sheet;
    sheet.FileName = dir.File("hero.csd");
    auto old = std::make_unique<TCSDataStore>();
    old->Name = "spells";
    old->ColNames = {"Name"};
    old->cells = {{"Light"}};
    old->Rows = old->Cols = 1;
    sheet.DataStores.push_back(std::move(old));
    auto dropped = std::make_unique<TCSDataStore>();
    dropped->Name = "unlisted";
    sheet.DataStores.push_back(std::move(dropped));

    sheet.DataStoreFiles = "C:\\data\\weapons.csv\r\n  \r\ndata/armour.csv\r\n"
                           "/nowhere/spells.csv\r\n/nowhere/nothing.csv\r\n";
    sheet.CompileDataStores();
    ASSERT_EQ(sheet.DataStores.size(), 3u);
    EXPECT_EQ(sheet.DataStores[0]->Name, "weapons");
    EXPECT_EQ(sheet.Lookup("weapons", "axe", "Damage"), "1d6");
    EXPECT_EQ(sheet.DataStores[1]->Name, "armour");
    EXPECT_EQ(sheet.Lookup("armour", "Leather", "AC"), "11");
    EXPECT_EQ(sheet.DataStores[2]->Name, "spells"); // its CSV is missing: the old table stays
    EXPECT_EQ(sheet.DataStores[2]->GetKeys(), "Light\r\n");

    sheet.ClearDataStores();
    EXPECT_TRUE(sheet.DataStores.empty());
}

} // namespace
} // namespace ff

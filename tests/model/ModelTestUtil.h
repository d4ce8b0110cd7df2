// Helpers of the model tests: a full text dump of a document's pages and objects, and a small
// but realistic sheet to edit.
#pragma once

#include "expression/KELDExpression.h"
#include "model/ClassCSButton.h"
#include "model/ClassCSCheckbox.h"
#include "model/ClassCSField.h"
#include "model/ClassCSImage.h"
#include "model/ClassCSShapes.h"
#include "model/ClassCSText.h"
#include "model/ClassCharSheet.h"

#include <sstream>
#include <string>

namespace ff::test {

// Every field of an object, one line; the expression is represented by its source text and its
// compiled state.
inline std::string DumpObject(const TCSObject& o)
{
    std::ostringstream s;
    s.precision(17);
    s << "type=" << o.FTypeID << " name=" << o.FFieldName << " src=" << o.FFieldSource
      << " expr=" << o.Expression->Expression() << "/" << o.Expression->Compiled()
      << " num=" << o.FisNumeric << " ro=" << o.FReadOnly << " vis=" << o.FVisible
      << " list=" << o.FList << " ls=" << o.FListStyle << " sel=" << o.FSelected
      << " lock=" << o.FLocked << " lw=" << o.FLineWidth << " lc=" << o.FLineColor
      << " fc=" << o.FFillColor << " filled=" << o.FisFilled << " text=" << o.FText
      << " font=" << o.FFontName << "/" << o.FFontSize << "/" << o.FFontBold << o.FFontUnderline
      << o.FFontItalic << " align=" << o.FTextAlign << " single=" << o.FSingleLine
      << " img=" << (o.Image ? o.Image->Bytes() : std::string("<none>"))
      << " gray=" << o.FImageGrayscale << " scale=" << o.FImageScalingMode
      << " btn=" << o.FButtonState << " err=" << o.ScriptError << " pts=";
    for (const TPointF& p : o.Points)
        s << "(" << p.X << "," << p.Y << ")";
    return s.str();
}

inline std::string DumpPages(const TCharacterSheet& sheet)
{
    std::ostringstream s;
    for (const auto& p : sheet.Pages) {
        s << "page " << p->Name << " print=" << p->Print << "\n";
        for (const auto& o : p->Objects)
            s << "  " << DumpObject(*o) << "\n";
    }
    return s.str();
}

template <class T>
T* AddObject(TCharacterSheetPage& page, std::string sName, double x0, double y0, double x2,
             double y2)
{
    auto o = std::make_unique<T>();
    o->FFieldName = std::move(sName);
    o->AddPoint(x0, y0);
    o->AddPoint(x0, y2);
    o->AddPoint(x2, y2);
    o->AddPoint(x2, y0);
    o->FinalizePoints();
    T* p = o.get();
    page.Objects.push_back(std::move(o));
    return p;
}

template <class T> T* AddLine(TCharacterSheetPage& page, double x0, double y0, double x1, double y1)
{
    auto o = std::make_unique<T>();
    o->AddPoint(x0, y0);
    o->AddPoint(x1, y1);
    T* p = o.get();
    page.Objects.push_back(std::move(o));
    return p;
}

// Three pages with named fields, sources, an image, a locked box, lists and odd attributes
// that cloning does not carry (list style, scaling mode, button state).
inline void BuildSampleSheet(TCharacterSheet& sheet)
{
    sheet.NewDoc();
    sheet.Pages[0]->Name = "Front";
    sheet.NewPage()->Name = "Spells";
    sheet.NewPage()->Name = "Notes";
    sheet.Pages[2]->Print = false;

    auto& p0 = *sheet.Pages[0];
    auto* box = AddObject<TCSBox>(p0, "Frame", 0.5, 0.5, 8, 10.5);
    box->FLocked = true;
    box->FLineWidth = 2;
    AddObject<TCSText>(p0, "", 1, 1, 2, 1.2)->FText = "Strength";
    auto* str = AddObject<TCSEdit>(p0, "Str", 2, 1, 3, 1.25);
    str->FText = "14";
    str->FisNumeric = true;
    auto* mod = AddObject<TCSEdit>(p0, "StrMod", 3.25, 1, 4, 1.25);
    mod->SetFieldSource("floor((Str - 10) / 2)");
    mod->FReadOnly = true;
    auto* cls = AddObject<TCSEdit>(p0, "Class", 2, 1.5, 4, 1.75);
    cls->FList = "Classes";
    cls->FListStyle = CS_LISTSTYLE_OPEN;
    AddObject<TCSCheckBox>(p0, "Inspired", 5, 1, 5.25, 1.25)->SetChecked(true);
    AddLine<TCSOrthLine>(p0, 1, 2, 7, 2);
    auto* btn = AddObject<TCSButton>(p0, "Roll", 6, 3, 7, 3.25);
    btn->FFieldSource = "js:RollDice()";
    btn->FButtonState = CS_BUTTONSTATE_HOVER;

    auto& p1 = *sheet.Pages[1];
    auto* img = AddObject<TCSImage>(p1, "Portrait", 1, 1, 3, 3);
    img->Image = std::make_unique<TMemoryStream>(std::string("\x89PNG fake bytes\0x", 17));
    img->FImageScalingMode = CS_IMAGE_ASIS;
    img->FImageGrayscale = true;
    AddObject<TCSImageSelect>(p1, "Symbol", 4, 1, 5, 2);
    AddObject<TCSEdit>(p1, "Spell1", 1, 4, 4, 4.25)->FText = "Magic Missile";
    AddObject<TCSEdit>(p1, "hp", 1, 5, 2, 5.25)->FText = "7"; // same name as HP below, other case
    AddLine<TCSLine>(p1, 1, 6, 3, 7)->FLineColor = 0x0000FF;

    auto& p2 = *sheet.Pages[2];
    auto* notes = AddObject<TCSEdit>(p2, "HP", 1, 1, 7, 9);
    notes->FSingleLine = false;
    notes->FText = "12";

    sheet.SetList("Classes", "Fighter\r\nWizard\r\n");
    sheet.SetList("Alignments", "Good\r\nEvil\r\n");
    sheet.Modified = false;
    sheet.ClearUndo();
}

} // namespace ff::test

// A main window with a temporary settings file and scripted dialogs, shown offscreen, and
// small helpers to build models and to type into the window's grids.
#pragma once

#include "scripted_dialogs.h"
#include "window_fixture.h"

#include "ui/string_grid.h"
#include "ui/tfm_velomast.h"

#include <QAction>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace velomast::testing {

class TableWindowTest : public WindowTest {
protected:
    // A fresh window, shown at the size the table needs.
    TfmVelomast& Window() {
        MakeWindow();
        W->resize(1100, 760);
        W->show();
        return *W;
    }

    // Adds wires given as x1 y1 z1 x2 y2 z2, records the loaded state as the first step
    // and refreshes the window.
    void Wires(std::initializer_list<std::array<double, 6>> list) {
        for (const auto& c : list) M().NewWire({c[0], c[1], c[2]}, {c[3], c[4], c[5]}, -2);
        M().StoreUndoStep(false);
        W->UpdateForm();
    }
    // Selects in the given order, so the last number becomes the current wire (unlike the
    // base fixture's Select), and refreshes the window.
    void Select(std::initializer_list<int> numbers) {
        M().ClearSelection();
        for (int n : numbers) M().SelectWire(M()[static_cast<size_t>(n) - 1], false);
        W->UpdateForm();
    }
    // Opens the editor of a grid cell, types `text` and ends with `key`.
    static void TypeInto(TStringGrid* g, int col, int row, const QString& text, Qt::Key key = Qt::Key_Return,
                         Qt::KeyboardModifiers mods = Qt::NoModifier) {
        g->SetCurrent(col, row);
        g->ShowEditor();
        ASSERT_TRUE(g->Editing());
        QLineEdit* ed = g->Editor();
        ed->selectAll();
        QTest::keyClicks(ed, text);
        if (key != Qt::Key_unknown) QTest::keyClick(ed, key, mods);
    }
    void Type(int row, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        TypeInto(W->WireGrid(), 1, row, text, Qt::Key_Return, mods);
    }
    // A number text with the window's decimal mark.
    QString N(QString s) const { return s.replace('.', QChar(W->DecimalMark())); }
    int Steps() { return M().HistoryCount(); }
};

} // namespace velomast::testing

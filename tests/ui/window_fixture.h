// A main window with a temporary settings file and the scripted dialog seam, for the tests
// of the window's commands.
#pragma once

#include "scripted_dialogs.h"

#include "ui/tfm_velomast.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

namespace velomast::testing {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        MakeWindow();
    }
    // A new window in place of the last one (the settings file and the dialogs stay).
    void MakeWindow() {
        TMainWindowOptions o;
        o.SettingsPath = Dir.filePath("velomast.ini");
        o.Dialogs = &Dialogs;
        W.reset();
        W = std::make_unique<TfmVelomast>(o);
        W->resize(1000, 700);
    }
    TWireList& M() { return W->Model(); }

    // Wires from pairs of points; the history then holds them as its first step.
    void Build(std::initializer_list<std::pair<Vec3, Vec3>> wires) {
        M().Clear(false);
        M().ClearHistory();
        for (const auto& [a, b] : wires) ASSERT_NE(M().NewWire(a, b, -2), nullptr);
        M().StoreUndoStep(false);
        M().Modified = false;
    }
    // Selects the wires with the given numbers; the first becomes the current wire.
    void Select(std::initializer_list<int> numbers) {
        M().ClearSelection();
        for (auto it = std::rbegin(numbers); it != std::rend(numbers); ++it) M().SelectWire(M()[*it - 1], false);
    }
    void Trigger(const char* name) {
        QAction* a = W->Action(name);
        ASSERT_NE(a, nullptr) << name;
        ASSERT_TRUE(a->isEnabled()) << name;
        a->trigger();
    }
    QString WriteFile(const QString& name, const char* text) {
        const QString path = Dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }
    static bool Ends(const TWire* w, Vec3 a, Vec3 b) { return VecEqual(w->P1(), a) && VecEqual(w->P2(), b); }

    QTemporaryDir Dir;
    TScriptedDialogs Dialogs;
    std::unique_ptr<TfmVelomast> W;
};

} // namespace velomast::testing

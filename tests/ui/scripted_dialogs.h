// A dialog seam for tests: answers come from queues, every call is recorded, nothing
// blocks. An unexpected question fails the test instead of hanging it.
#pragma once

#include "ui/user_dialogs.h"

#include <QDialog>
#include <QStringList>

#include <deque>
#include <functional>

#include <gtest/gtest.h>

namespace velomast::testing {

class TScriptedDialogs : public IUserDialogs {
public:
    struct Call {
        QString Kind; // "message", "yesno", "yesnocancel", "input", "open", "save", "exec", "openwith", "start", "openmany", "editor"
        QString Caption;
        QString Text;
    };

    std::deque<bool> YesNoAnswers;
    std::deque<Answer> SaveAnswers;
    std::deque<std::optional<QString>> InputAnswers;
    std::deque<QString> OpenNames;
    std::deque<QString> SaveNames;
    // Fills a modal form and says how it closes; without one a form is cancelled.
    std::deque<std::function<int(QDialog&)>> Forms;
    std::vector<Call> Calls;

    int Count(const QString& kind) const {
        int n = 0;
        for (const Call& c : Calls) n += c.Kind == kind;
        return n;
    }
    const Call* Last(const QString& kind) const {
        for (auto it = Calls.rbegin(); it != Calls.rend(); ++it)
            if (it->Kind == kind) return &*it;
        return nullptr;
    }

    void Message(const QString& caption, const QString& text, Icon) override { Calls.push_back({"message", caption, text}); }
    bool YesNo(const QString& caption, const QString& text) override {
        Calls.push_back({"yesno", caption, text});
        if (YesNoAnswers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return false;
        }
        const bool a = YesNoAnswers.front();
        YesNoAnswers.pop_front();
        return a;
    }
    Answer YesNoCancel(const QString& caption, const QString& text) override {
        Calls.push_back({"yesnocancel", caption, text});
        if (SaveAnswers.empty()) {
            ADD_FAILURE() << "unexpected save question: " << text.toStdString();
            return Answer::Cancel;
        }
        const Answer a = SaveAnswers.front();
        SaveAnswers.pop_front();
        return a;
    }
    std::optional<QString> Input(const QString& caption, const QString& prompt, const QString& value) override {
        Calls.push_back({"input", caption, prompt + "|" + value});
        if (InputAnswers.empty()) return std::nullopt;
        auto a = InputAnswers.front();
        InputAnswers.pop_front();
        return a;
    }
    QString OpenFileName(const QString& caption, const QString&, const QString&) override {
        Calls.push_back({"open", caption, {}});
        if (OpenNames.empty()) return {};
        const QString n = OpenNames.front();
        OpenNames.pop_front();
        return n;
    }
    QString SaveFileName(const QString& caption, const QString&, const QString& proposed, const QString&) override {
        Calls.push_back({"save", caption, proposed});
        if (SaveNames.empty()) return {};
        const QString n = SaveNames.front();
        SaveNames.pop_front();
        return n;
    }
    int Exec(QDialog& dialog) override {
        Calls.push_back({"exec", dialog.windowTitle(), dialog.objectName()});
        if (Forms.empty()) return QDialog::Rejected;
        auto f = Forms.front();
        Forms.pop_front();
        return f(dialog);
    }
    bool OpenWithAssociatedProgram(const QString& path) override {
        Calls.push_back({"openwith", {}, path});
        return true;
    }
    bool StartProgram(const QString& program, const QStringList& arguments) override {
        Calls.push_back({"start", program, arguments.join(' ')});
        return true;
    }
    // Answers of the multi-file dialog, one list per call.
    std::deque<QStringList> OpenNameLists;
    QStringList OpenFileNames(const QString& caption, const QString&, const QString& dir) override {
        Calls.push_back({"openmany", caption, dir});
        if (OpenNameLists.empty()) return {};
        const QStringList n = OpenNameLists.front();
        OpenNameLists.pop_front();
        return n;
    }
    bool OpenInTextEditor(const QString& path) override {
        Calls.push_back({"editor", {}, path});
        return true;
    }
};

} // namespace velomast::testing

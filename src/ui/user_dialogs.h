// The one seam through which the program talks to the user: messages, questions, input
// boxes, file dialogs, modal forms and handing files to other programs. The window owns a
// real implementation; tests install a scripted one, so no test blocks on a modal window.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QWidget;

namespace velomast {

class IUserDialogs {
public:
    enum class Icon { Information, Warning, Error, Question };
    enum class Answer { Yes, No, Cancel };

    virtual ~IUserDialogs() = default;

    // A message box with one OK button.
    virtual void Message(const QString& caption, const QString& text, Icon icon) = 0;
    // Yes/No question; true for Yes.
    virtual bool YesNo(const QString& caption, const QString& text) = 0;
    // Yes/No/Cancel question (the save question).
    virtual Answer YesNoCancel(const QString& caption, const QString& text) = 0;
    // An input box; nothing when cancelled.
    virtual std::optional<QString> Input(const QString& caption, const QString& prompt, const QString& value) = 0;
    // File dialogs; an empty string when cancelled. `filter` uses Qt's "Name (*.ext);;..." form.
    virtual QString OpenFileName(const QString& caption, const QString& filter, const QString& dir) = 0;
    virtual QString SaveFileName(const QString& caption, const QString& filter, const QString& proposed,
                                 const QString& defaultSuffix) = 0;
    // Runs a modal form; returns its result (QDialog::Accepted or Rejected).
    virtual int Exec(QDialog& dialog) = 0;
    // Opens a file with the program the desktop associates with it.
    virtual bool OpenWithAssociatedProgram(const QString& path) = 0;
    // Starts another program, detached.
    virtual bool StartProgram(const QString& program, const QStringList& arguments) = 0;
    // Several existing files; an empty list when cancelled.
    virtual QStringList OpenFileNames(const QString& caption, const QString& filter, const QString& dir) = 0;
    // Opens a text file in the desktop's text editor, detached; false when nothing could
    // be started.
    virtual bool OpenInTextEditor(const QString& path) = 0;
};

class TQtUserDialogs : public IUserDialogs {
public:
    explicit TQtUserDialogs(QWidget* parent) : Parent_(parent) {}

    void Message(const QString& caption, const QString& text, Icon icon) override;
    bool YesNo(const QString& caption, const QString& text) override;
    Answer YesNoCancel(const QString& caption, const QString& text) override;
    std::optional<QString> Input(const QString& caption, const QString& prompt, const QString& value) override;
    QString OpenFileName(const QString& caption, const QString& filter, const QString& dir) override;
    QString SaveFileName(const QString& caption, const QString& filter, const QString& proposed,
                         const QString& defaultSuffix) override;
    int Exec(QDialog& dialog) override;
    bool OpenWithAssociatedProgram(const QString& path) override;
    bool StartProgram(const QString& program, const QStringList& arguments) override;
    QStringList OpenFileNames(const QString& caption, const QString& filter, const QString& dir) override;
    bool OpenInTextEditor(const QString& path) override;

private:
    QWidget* Parent_;
};

} // namespace velomast

#include "user_dialogs.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QMimeType>
#include <QProcess>
#include <QUrl>

namespace velomast {

namespace {
QMessageBox::Icon ToQt(IUserDialogs::Icon icon) {
    switch (icon) {
    case IUserDialogs::Icon::Warning: return QMessageBox::Warning;
    case IUserDialogs::Icon::Error: return QMessageBox::Critical;
    case IUserDialogs::Icon::Question: return QMessageBox::Question;
    default: return QMessageBox::Information;
    }
}
} // namespace

void TQtUserDialogs::Message(const QString& caption, const QString& text, Icon icon) {
    QMessageBox box(ToQt(icon), caption, text, QMessageBox::Ok, Parent_);
    box.exec();
}

bool TQtUserDialogs::YesNo(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, Parent_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

IUserDialogs::Answer TQtUserDialogs::YesNoCancel(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    Parent_);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

std::optional<QString> TQtUserDialogs::Input(const QString& caption, const QString& prompt, const QString& value) {
    bool ok = false;
    const QString text = QInputDialog::getText(Parent_, caption, prompt, QLineEdit::Normal, value, &ok);
    if (!ok) return std::nullopt;
    return text;
}

QString TQtUserDialogs::OpenFileName(const QString& caption, const QString& filter, const QString& dir) {
    return QFileDialog::getOpenFileName(Parent_, caption, dir, filter);
}

QString TQtUserDialogs::SaveFileName(const QString& caption, const QString& filter, const QString& proposed,
                                     const QString& defaultSuffix) {
    QFileDialog dialog(Parent_, caption, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!proposed.isEmpty()) {
        const QFileInfo info(proposed);
        if (info.isAbsolute()) dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

int TQtUserDialogs::Exec(QDialog& dialog) { return dialog.exec(); }

bool TQtUserDialogs::OpenWithAssociatedProgram(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool TQtUserDialogs::StartProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

QStringList TQtUserDialogs::OpenFileNames(const QString& caption, const QString& filter, const QString& dir) {
    return QFileDialog::getOpenFileNames(Parent_, caption, dir, filter);
}

bool TQtUserDialogs::OpenInTextEditor(const QString& path) {
    // The desktop's own choice first, but only for a file the desktop takes as plain text:
    // a model file would be handed to the program registered for models (this one).
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    const bool plainText = type.name() == QLatin1String("text/plain") ||
                           (type.inherits(QStringLiteral("text/plain")) && !type.name().startsWith(QLatin1String("application/x-mmana")));
    if (plainText && QDesktopServices::openUrl(QUrl::fromLocalFile(path))) return true;
    for (const char* variable : {"VISUAL", "EDITOR"}) {
        // The variable may carry arguments ("code --wait"); the file goes last.
        QStringList command = QProcess::splitCommand(qEnvironmentVariable(variable));
        if (command.isEmpty()) continue;
        const QString program = command.takeFirst();
        if (QProcess::startDetached(program, command << path)) return true;
    }
    return QProcess::startDetached(QStringLiteral("xdg-open"), {path});
}

} // namespace velomast

#include "tfm_linked.h"
#include "ui/language_texts.h"

#include "ui/user_dialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

namespace velomast {

namespace {
constexpr int ItemHeight = 20;
constexpr int NumberLeft = 5;
constexpr int TextLeft = NumberLeft + 22;

// Each entry as "N." and its text, on one line, vertically centred.
class TNumberedItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& pal = option.palette;
        p->save();
        p->fillRect(option.rect, selected ? pal.highlight() : pal.base());
        p->setPen(selected ? pal.highlightedText().color() : pal.text().color());
        p->setFont(option.font);
        const QRect r = option.rect;
        p->drawText(QRect(r.left() + NumberLeft, r.top(), TextLeft - NumberLeft, r.height()),
                    Qt::AlignLeft | Qt::AlignVCenter, QString::number(index.row() + 1) + '.');
        p->drawText(QRect(r.left() + TextLeft, r.top(), r.width() - TextLeft, r.height()), Qt::AlignLeft | Qt::AlignVCenter,
                    index.data(Qt::DisplayRole).toString());
        p->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(ItemHeight);
        s.setWidth(TextLeft + option.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) + 4);
        return s;
    }
};

bool SameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) return false;
    if (a == b) return true;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}
} // namespace

TfmLinked::TfmLinked(IUserDialogs& dialogs, const QString& modelFileName, QWidget* parent)
    : QDialog(parent), Dialogs_(dialogs), ModelFileName_(modelFileName) {
    setObjectName("TfmLinked");
    setWindowTitle("Связанные файлы моделей");
    auto* layout = new QVBoxLayout(this);

    auto* row = new QHBoxLayout;
    lbFiles = new QListWidget(this);
    lbFiles->setObjectName("lbFiles");
    lbFiles->setItemDelegate(new TNumberedItemDelegate(lbFiles));
    lbFiles->setUniformItemSizes(true);
    row->addWidget(lbFiles, 1);
    auto* tools = new QVBoxLayout;
    sbAddFile = new QToolButton(this);
    sbAddFile->setObjectName("sbAddFile");
    sbAddFile->setText("+");
    sbAddFile->setToolTip("Добавить файл в список (Ins)");
    sbDelete = new QToolButton(this);
    sbDelete->setObjectName("sbDelete");
    sbDelete->setText("−");
    sbDelete->setToolTip("Удалить фал из списка (Del)");
    for (QToolButton* b : {sbAddFile, sbDelete}) {
        b->setFixedSize(26, 26);
        b->setStatusTip(b->toolTip());
        tools->addWidget(b);
    }
    tools->addStretch(1);
    row->addLayout(tools);
    layout->addLayout(row, 1);

    chSavePath = new QCheckBox("Сохранять полный путь к файлу", this);
    chSavePath->setObjectName("chSavePath");
    layout->addWidget(chSavePath);
    StaticText1 = new QLabel(
        "При сохранении данных в связанные файлы синхронно сохраняются данные проводов раздела Wires.  "
        "Может применяться для многодиапазонных антенн, в которых измемение диапазона выполняется "
        "переключением нагрузок и (или) источников.",
        this);
    StaticText1->setObjectName("StaticText1");
    StaticText1->setWordWrap(true);
    StaticText1->setFrameShape(QFrame::StyledPanel);
    StaticText1->setMargin(4);
    layout->addWidget(StaticText1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btOK = new QPushButton("Закрыть", this);
    btOK->setObjectName("btOK");
    btOK->setDefault(true);
    buttons->addWidget(btOK);
    layout->addLayout(buttons);

    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(sbAddFile, &QToolButton::clicked, this, &TfmLinked::sbAddFileClick);
    connect(sbDelete, &QToolButton::clicked, this, &TfmLinked::sbDeleteClick);
    resize(520, 360);
    ApplyLanguage(this);
}

QStringList TfmLinked::Files() const {
    QStringList files;
    for (int i = 0; i < lbFiles->count(); ++i) files << lbFiles->item(i)->text();
    return files;
}

void TfmLinked::SetFiles(const QStringList& files) {
    lbFiles->clear();
    lbFiles->addItems(files);
    if (lbFiles->count() > 0) lbFiles->setCurrentRow(0);
}

QStringList TfmLinked::AddedEntries(const QStringList& list, const QStringList& chosen, const QString& modelFileName,
                                    bool fullPaths) {
    QStringList out;
    const QString modelDir = modelFileName.isEmpty() ? QString() : QFileInfo(modelFileName).absolutePath();
    for (const QString& file : chosen) {
        // The model's own file would only receive its own wires back.
        if (SameFile(file, modelFileName)) continue;
        const QFileInfo info(file);
        // A bare name stands for a file in the model's folder; a file elsewhere keeps its
        // path, or the save would write into a same-named file beside the model.
        const bool besideModel = !modelDir.isEmpty() && QDir(info.absolutePath()) == QDir(modelDir);
        const QString entry = fullPaths || !besideModel ? info.absoluteFilePath() : info.fileName();
        if (!list.contains(entry) && !out.contains(entry)) out << entry;
    }
    return out;
}

void TfmLinked::sbAddFileClick() {
    const QString dir = ModelFileName_.isEmpty() ? QString() : QFileInfo(ModelFileName_).absolutePath();
    const QStringList chosen = Dialogs_.OpenFileNames("Добавить связанные файлы", "Файлы антенн maa (*.maa)", dir);
    QStringList existing;
    for (const QString& f : chosen)
        if (QFileInfo(f).isFile()) existing << f;
    const QStringList added = AddedEntries(Files(), existing, ModelFileName_, chSavePath->isChecked());
    lbFiles->addItems(added);
    if (!added.isEmpty()) lbFiles->setCurrentRow(lbFiles->count() - 1);
}

void TfmLinked::sbDeleteClick() {
    const int row = lbFiles->currentRow();
    if (row < 0 || !lbFiles->currentItem()->isSelected()) return;
    delete lbFiles->takeItem(row);
}

void TfmLinked::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_Insert) {
        sbAddFileClick();
        return;
    }
    if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_Delete) {
        sbDeleteClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace velomast

#include "orlo/workspace/NotesPage.h"

#include "platform/richtext/RtfCodec.h"
#include "platform/ui/DialogPrompts.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace orlo {
namespace {

// The largest size a rich-edit control accepts, in points.
constexpr int MaxFontSize = 1638;

QLineEdit* readOnlyField(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::ClickFocus);
    QPalette pal = e->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Button));
    e->setPalette(pal);
    return e;
}

// A small picture with one or two letters, for the commands that have no standard
// icon.
QIcon letterIcon(const QString& text, bool bold, bool italic, bool underline) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(text.size() > 1 ? 9 : 13);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(pixmap.rect(), Qt::AlignCenter, text);
    return QIcon(pixmap);
}

// Three to four lines drawn as a paragraph of the given alignment.
QIcon alignIcon(Qt::Alignment alignment) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::black);
    const int lengths[] = {14, 9, 14, 9};
    for (int i = 0; i < 4; ++i) {
        const int len = lengths[i];
        int x = 1;
        if (alignment & Qt::AlignRight)
            x = 15 - len;
        else if (alignment & Qt::AlignHCenter)
            x = (16 - len) / 2;
        p.drawLine(x, 3 + i * 3, x + len - 1, 3 + i * 3);
    }
    return QIcon(pixmap);
}

enum class Pictogram { Print, Cut, Copy, Paste };

// Small drawings for the clipboard and print commands where the desktop theme has
// no icons.
QIcon pictogram(Pictogram kind) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    const auto page = [&p](int x, int y, int w, int h) {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(x + 0.5, y + 0.5, w, h));
        for (int ly = y + 3; ly < y + h - 1; ly += 2)
            p.drawLine(QPointF(x + 2.5, ly + 0.5), QPointF(x + w - 1.5, ly + 0.5));
    };
    switch (kind) {
        case Pictogram::Print:
            page(4, 1, 8, 6);
            p.setBrush(QColor(150, 150, 150));
            p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
            page(4, 10, 8, 5);
            break;
        case Pictogram::Cut:
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(1.5, 10.5, 4, 4));
            p.drawEllipse(QRectF(10.5, 10.5, 4, 4));
            p.drawLine(QPointF(5, 11), QPointF(11, 1));
            p.drawLine(QPointF(11, 11), QPointF(5, 1));
            break;
        case Pictogram::Copy:
            page(1, 1, 8, 10);
            page(6, 5, 8, 10);
            break;
        case Pictogram::Paste:
            p.setBrush(QColor(190, 140, 70));
            p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
            p.setBrush(QColor(120, 120, 120));
            p.drawRect(QRectF(4.5, 1.5, 4, 2));
            page(6, 6, 8, 9);
            break;
    }
    return QIcon(pixmap);
}

QIcon themeIcon(const char* name, const QIcon& fallback) {
    const QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
    return icon.isNull() ? fallback : icon;
}

Qt::Alignment alignmentOfTag(int tag) {
    switch (tag) {
        case 1:
            return Qt::AlignRight;
        case 2:
            return Qt::AlignHCenter;
        default:
            return Qt::AlignLeft;
    }
}

}  // namespace

TNotesPage::TNotesPage(platform::DialogPrompts& prompts, QWidget* parent)
    : QWidget(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("TabSheetInfo"));
    auto* layout = new QVBoxLayout(this);
    auto* info = new QWidget(this);
    info->setObjectName(QStringLiteral("PanelLetInfo"));
    auto* grid = new QGridLayout(info);
    grid->setContentsMargins(0, 0, 0, 0);
    editDate_ = readOnlyField(info, "EditDate");
    editSample_ = readOnlyField(info, "EditSample");
    editVer_ = readOnlyField(info, "EditVer");
    editFlyTime_ = readOnlyField(info, "EditFlyTime");
    editMaxAlt_ = readOnlyField(info, "EditMaxAlt");
    editSample_->setMaximumWidth(80);
    editVer_->setMaximumWidth(50);
    grid->addWidget(new QLabel(QStringLiteral("Date:"), info), 0, 0);
    grid->addWidget(editDate_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Sampling:"), info), 0, 2);
    grid->addWidget(editSample_, 0, 3);
    // The field holds seconds (the logger's interval / 50).
    grid->addWidget(new QLabel(QStringLiteral("s"), info), 0, 4);
    grid->addWidget(new QLabel(QStringLiteral("Ver:"), info), 0, 5);
    grid->addWidget(editVer_, 0, 6);
    grid->addWidget(new QLabel(QStringLiteral("Record time:"), info), 1, 0);
    grid->addWidget(editFlyTime_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Max. Voltage:"), info), 1, 2);
    grid->addWidget(editMaxAlt_, 1, 3, 1, 4);
    grid->setColumnStretch(1, 1);
    layout->addWidget(info);

    richEdit_ = new QTextEdit(this);
    richEdit_->setObjectName(QStringLiteral("RichEdit1"));
    const QFont arial(QStringLiteral("Arial"), 8);
    richEdit_->setFont(arial);
    richEdit_->document()->setDefaultFont(arial);
    richEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    richEdit_->setTabChangesFocus(false);
    richEdit_->setAcceptRichText(true);
    richEdit_->setContextMenuPolicy(Qt::NoContextMenu);  // PopupRich instead
    // The selection stays visible while another control has the focus.
    QPalette pal = richEdit_->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    richEdit_->setPalette(pal);
    richEdit_->installEventFilter(this);
    richEdit_->viewport()->installEventFilter(this);

    buildToolBar();
    layout->addWidget(toolBar_);
    layout->addWidget(richEdit_, 1);
    buildPopup();

    connect(richEdit_, &QTextEdit::cursorPositionChanged, this,
            &TNotesPage::RichEdit1SelectionChange);
    connect(richEdit_, &QTextEdit::selectionChanged, this, &TNotesPage::RichEdit1SelectionChange);
    connect(richEdit_, &QTextEdit::currentCharFormatChanged, this,
            &TNotesPage::RichEdit1SelectionChange);
    // Qt has no idle event: the state AppIdle reads changes only with these.
    connect(richEdit_, &QTextEdit::undoAvailable, this, &TNotesPage::AppIdle);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &TNotesPage::AppIdle);
    RichEdit1SelectionChange();
}

TNotesPage::~TNotesPage() = default;

void TNotesPage::buildToolBar() {
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("ToolBarLetInfo"));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar_->setIconSize(QSize(16, 16));
    QStyle* st = style();
    const auto button = [this](const char* name, const QString& hint, const QIcon& icon) {
        auto* a = new QAction(icon, hint, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(hint);
        toolBar_->addAction(a);
        return a;
    };
    TBPrint = button("TBPrint", QStringLiteral("Print"),
                     themeIcon("document-print", pictogram(Pictogram::Print)));
    TBCut =
        button("TBCut", QStringLiteral("Cut"), themeIcon("edit-cut", pictogram(Pictogram::Cut)));
    TBCopy = button("TBCopy", QStringLiteral("Copy"),
                    themeIcon("edit-copy", pictogram(Pictogram::Copy)));
    TBPaste = button("TBPaste", QStringLiteral("Paste"),
                     themeIcon("edit-paste", pictogram(Pictogram::Paste)));
    TBUndo = button("TBUndo", QStringLiteral("Back"),
                    themeIcon("edit-undo", st->standardIcon(QStyle::SP_ArrowBack)));
    toolBar_->addSeparator();
    TBBold = button("TBBold", QStringLiteral("Bold"),
                    letterIcon(QStringLiteral("B"), true, false, false));
    TBItalic = button("TBItalic", QStringLiteral("Italic"),
                      letterIcon(QStringLiteral("I"), false, true, false));
    TBUnderline = button("TBUnderline", QStringLiteral("Underline"),
                         letterIcon(QStringLiteral("U"), false, false, true));
    for (QAction* a : {TBBold, TBItalic, TBUnderline})
        a->setCheckable(true);
    TBFont = button("TBFont", QStringLiteral("Font dialog"),
                    letterIcon(QStringLiteral("F"), true, true, false));
    toolBar_->addSeparator();

    comboFontName_ = new QComboBox(toolBar_);
    comboFontName_->setObjectName(QStringLiteral("ComboFontName"));
    comboFontName_->setEditable(false);
    comboFontName_->addItems(QFontDatabase::families());
    comboFontName_->setFocusPolicy(Qt::ClickFocus);
    // Narrow enough for the whole toolbar to fit the page beside the grid.
    comboFontName_->setMinimumContentsLength(10);
    comboFontName_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    comboFontName_->setMaximumWidth(130);
    toolBar_->addWidget(comboFontName_);
    comboFontSize_ = new QComboBox(toolBar_);
    comboFontSize_->setObjectName(QStringLiteral("ComboFontSize"));
    comboFontSize_->setEditable(true);
    comboFontSize_->setInsertPolicy(QComboBox::NoInsert);
    comboFontSize_->addItems({QStringLiteral("8"), QStringLiteral("10"), QStringLiteral("12"),
                              QStringLiteral("14"), QStringLiteral("17"), QStringLiteral("24")});
    comboFontSize_->setCurrentIndex(0);
    comboFontSize_->setFocusPolicy(Qt::ClickFocus);
    // Typing accepts digits only (backspace, Enter and Escape keep their work).
    comboFontSize_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]*")), comboFontSize_));
    comboFontSize_->setMinimumContentsLength(2);
    comboFontSize_->setMaximumWidth(55);
    toolBar_->addWidget(comboFontSize_);
    toolBar_->addSeparator();

    TBLeft = button("TBLeft", QStringLiteral("Left Justify"), alignIcon(Qt::AlignLeft));
    TBCenter = button("TBCenter", QStringLiteral("Center Justify"), alignIcon(Qt::AlignHCenter));
    TBRight = button("TBRight", QStringLiteral("Right Justify"), alignIcon(Qt::AlignRight));
    alignGroup_ = new QActionGroup(this);
    const std::pair<QAction*, int> tags[] = {{TBLeft, 0}, {TBCenter, 2}, {TBRight, 1}};
    for (const auto& [a, tag] : tags) {
        a->setCheckable(true);
        a->setData(tag);
        alignGroup_->addAction(a);
        connect(a, &QAction::triggered, this, [this, tag = tag] { AlignClick(tag); });
    }

    connect(TBPrint, &QAction::triggered, this, &TNotesPage::TBPrintClick);
    connect(TBCut, &QAction::triggered, this, &TNotesPage::TBCutClick);
    connect(TBCopy, &QAction::triggered, this, &TNotesPage::TBCopyClick);
    connect(TBPaste, &QAction::triggered, this, &TNotesPage::TBPasteClick);
    connect(TBUndo, &QAction::triggered, this, &TNotesPage::TBUndoClick);
    connect(TBBold, &QAction::triggered, this, &TNotesPage::TBBoldClick);
    connect(TBItalic, &QAction::triggered, this, &TNotesPage::TBItalicClick);
    connect(TBUnderline, &QAction::triggered, this, &TNotesPage::TBUnderlineClick);
    connect(TBFont, &QAction::triggered, this, &TNotesPage::TBFontClick);
    // Only the user's choices apply; the toolbar's own updates do not.
    connect(comboFontName_, &QComboBox::activated, this, &TNotesPage::ComboFontNameChange);
    connect(comboFontSize_, &QComboBox::activated, this, &TNotesPage::ComboFontSizeChange);
    connect(comboFontSize_->lineEdit(), &QLineEdit::returnPressed, this,
            &TNotesPage::ComboFontSizeChange);
}

void TNotesPage::buildPopup() {
    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("PopupRich"));
    mnuPrint = popup_->addAction(QStringLiteral("Tisk"), this, &TNotesPage::TBPrintClick);
    mnuCut = popup_->addAction(QStringLiteral("Vyjmout"), this, &TNotesPage::TBCutClick);
    mnuCopy = popup_->addAction(QStringLiteral("Kopírovat"), this, &TNotesPage::TBCopyClick);
    mnuPaste = popup_->addAction(QStringLiteral("Vložit"), this, &TNotesPage::TBPasteClick);
    mnuUndo = popup_->addAction(QStringLiteral("Zpet"), this, &TNotesPage::TBUndoClick);
    popup_->addSeparator();
    mnuFont = popup_->addAction(QStringLiteral("Font"), this, &TNotesPage::TBFontClick);
    QMenu* align = popup_->addMenu(QStringLiteral("Zarovnání"));
    popupAlignGroup_ = new QActionGroup(align);
    const auto radio = [&](const QString& text, int tag) {
        QAction* a = align->addAction(text, this, [this, tag] { AlignClick(tag); });
        a->setCheckable(true);
        a->setData(tag);
        popupAlignGroup_->addAction(a);
        return a;
    };
    mnuAlignLeft = radio(QStringLiteral("Doleva"), 0);
    mnuAlignCenter = radio(QStringLiteral("Na stred"), 2);
    mnuAlignRight = radio(QStringLiteral("Doprava"), 1);
    popup_->addSeparator();
    mnuCancel = popup_->addAction(QStringLiteral("Storno"));
    connect(popup_, &QMenu::aboutToShow, this, &TNotesPage::PopupRichPopup);
}

// ---- TNotesEditor ------------------------------------------------------------------------

bool TNotesPage::IsModified() const {
    return richEdit_->document()->isModified();
}

void TNotesPage::SetModified(bool modified) {
    richEdit_->document()->setModified(modified);
}

std::string TNotesPage::SaveNotes() const {
    return platform::RtfCodec::save(*richEdit_->document());
}

void TNotesPage::LoadNotes(const std::string& notes) {
    QTextDocument& doc = *richEdit_->document();
    platform::RtfCodec::load(doc, notes);
    // Another block's text is no edit of this one.
    doc.clearUndoRedoStacks();
    richEdit_->moveCursor(QTextCursor::Start);
    RichEdit1SelectionChange();
}

void TNotesPage::ClearNotes() {
    richEdit_->clear();
    richEdit_->document()->clearUndoRedoStacks();
    RichEdit1SelectionChange();
}

void TNotesPage::ShowFileInfo(const TBlockInfoTexts& t) {
    editDate_->setText(t.Date);
    editFlyTime_->setText(t.FlyTime);
    editSample_->setText(t.Sample);
    editVer_->setText(t.Ver);
    editMaxAlt_->setText(t.MaxAlt);
}

void TNotesPage::ClearFileInfo() {
    for (QLineEdit* e : {editDate_, editFlyTime_, editMaxAlt_, editSample_, editVer_})
        e->clear();
}

// ---- toolbar from selection ----------------------------------------------------------

bool TNotesPage::canPaste() const {
    return richEdit_->canPaste();
}

void TNotesPage::RichEdit1SelectionChange() {
    guard_ = true;
    const QTextCharFormat f = richEdit_->currentCharFormat();
    const QFont font = f.font();
    TBBold->setChecked(font.bold());
    TBItalic->setChecked(font.italic());
    TBUnderline->setChecked(font.underline());

    double size = f.fontPointSize();
    if (size <= 0)
        size = richEdit_->document()->defaultFont().pointSizeF();
    comboFontSize_->setEditText(QString::number(qRound(size)));
    QStringList families = f.fontFamilies().toStringList();
    const QString family =
        families.isEmpty() ? richEdit_->document()->defaultFont().family() : families.first();
    comboFontName_->setCurrentIndex(comboFontName_->findText(family, Qt::MatchFixedString));

    const bool selected = richEdit_->textCursor().hasSelection();
    TBCopy->setEnabled(selected);
    TBCut->setEnabled(selected);

    const Qt::Alignment a = richEdit_->alignment();
    if (a & Qt::AlignRight)
        TBRight->setChecked(true);
    else if (a & Qt::AlignHCenter)
        TBCenter->setChecked(true);
    else
        TBLeft->setChecked(true);

    TBUndo->setEnabled(richEdit_->document()->isUndoAvailable());
    TBPaste->setEnabled(canPaste());
    guard_ = false;
}

void TNotesPage::AppIdle() {
    TBUndo->setEnabled(richEdit_->document()->isUndoAvailable());
    TBPaste->setEnabled(canPaste());
}

// ---- formatting ------------------------------------------------------------------------

void TNotesPage::applyFormat(const QTextCharFormat& format) {
    richEdit_->mergeCurrentCharFormat(format);
}

void TNotesPage::setStyle(QAction* button, bool on) {
    QTextCharFormat f;
    if (button == TBBold)
        f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    else if (button == TBItalic)
        f.setFontItalic(on);
    else
        f.setFontUnderline(on);
    applyFormat(f);
}

void TNotesPage::toggleStyle(QAction* button) {
    const QFont font = richEdit_->currentCharFormat().font();
    bool has = font.underline();
    if (button == TBBold)
        has = font.bold();
    else if (button == TBItalic)
        has = font.italic();
    setStyle(button, !has);
}

void TNotesPage::clearStyles() {
    QTextCharFormat f;
    f.setFontWeight(QFont::Normal);
    f.setFontItalic(false);
    f.setFontUnderline(false);
    f.setFontStrikeOut(false);
    applyFormat(f);
}

void TNotesPage::TBBoldClick() {
    if (!guard_)
        setStyle(TBBold, TBBold->isChecked());
}

void TNotesPage::TBItalicClick() {
    if (!guard_)
        setStyle(TBItalic, TBItalic->isChecked());
}

void TNotesPage::TBUnderlineClick() {
    if (!guard_)
        setStyle(TBUnderline, TBUnderline->isChecked());
}

void TNotesPage::ComboFontNameChange() {
    if (guard_ || comboFontName_->currentIndex() < 0)
        return;
    QTextCharFormat f;
    f.setFontFamilies(QStringList{comboFontName_->currentText()});
    applyFormat(f);
    richEdit_->setFocus();
}

void TNotesPage::ComboFontSizeChange() {
    if (guard_)
        return;
    bool ok = false;
    int size = comboFontSize_->currentText().toInt(&ok);
    // 0 would mean "no size" to the document; a giant size stalls the layout.
    if (!ok || size < 1)
        size = 10;
    size = std::min(size, MaxFontSize);
    QTextCharFormat f;
    f.setFontPointSize(size);
    applyFormat(f);
    richEdit_->setFocus();
}

void TNotesPage::AlignClick(int tag) {
    if (guard_)
        return;
    richEdit_->setAlignment(alignmentOfTag(tag) | Qt::AlignAbsolute);
    RichEdit1SelectionChange();
}

void TNotesPage::TBFontClick() {
    if (guard_)
        return;
    const QTextCharFormat current = richEdit_->currentCharFormat();
    QFont preset = current.font();
    if (current.fontPointSize() <= 0)
        preset.setPointSizeF(richEdit_->document()->defaultFont().pointSizeF());
    if (current.fontFamilies().toStringList().isEmpty())
        preset.setFamilies({richEdit_->document()->defaultFont().family()});
    const QColor color = current.foreground().style() == Qt::NoBrush
                             ? richEdit_->palette().color(QPalette::Text)
                             : current.foreground().color();
    const std::optional<QFont> chosen = prompts_.fontDialog(preset, QString());
    if (!chosen)
        return;
    QTextCharFormat f;
    f.setFontFamilies(QStringList{chosen->family()});
    f.setFontPointSize(chosen->pointSizeF() > 0 ? chosen->pointSizeF() : 10);
    f.setFontWeight(chosen->bold() ? QFont::Bold : QFont::Normal);
    f.setFontItalic(chosen->italic());
    f.setFontUnderline(chosen->underline());
    f.setFontStrikeOut(chosen->strikeOut());
    f.setFontFixedPitch(chosen->fixedPitch());
    f.setForeground(color);
    applyFormat(f);
    RichEdit1SelectionChange();
}

// ---- clipboard, undo, printing -------------------------------------------------------

void TNotesPage::TBCutClick() {
    richEdit_->cut();
}

void TNotesPage::TBCopyClick() {
    richEdit_->copy();
}

void TNotesPage::TBPasteClick() {
    QTextCharFormat f;
    f.setFontFamilies(QStringList{QStringLiteral("Courier New")});
    applyFormat(f);
    richEdit_->paste();
    richEdit_->setFocus();
}

void TNotesPage::TBUndoClick() {
    richEdit_->undo();
}

void TNotesPage::TBPrintClick() {
    try {
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(QString());
        if (!prompts_.printDialog(printer))
            return;
        if (!printer.isValid())
            throw std::runtime_error("The printer cannot be used.");
        // A copy, so that printing never touches the editor's undo stack or flag.
        std::unique_ptr<QTextDocument> copy(richEdit_->document()->clone());
        copy->setMetaInformation(QTextDocument::DocumentTitle, QString());
        copy->print(&printer);
        if (printer.printerState() == QPrinter::Error)
            throw std::runtime_error("The printer reported an error.");
    } catch (const std::exception& e) {
        prompts_.error(QStringLiteral("Error by Printig richedit!\r\n") +
                       QString::fromLocal8Bit(e.what()));
    }
}

void TNotesPage::PopupRichPopup() {
    mnuUndo->setEnabled(richEdit_->document()->isUndoAvailable());
    mnuPaste->setEnabled(canPaste());
    mnuCopy->setEnabled(TBCopy->isEnabled());
    mnuCut->setEnabled(TBCut->isEnabled());
    mnuAlignLeft->setChecked(TBLeft->isChecked());
    mnuAlignRight->setChecked(TBRight->isChecked());
    mnuAlignCenter->setChecked(TBCenter->isChecked());
}

// ---- keys and the pop-up menu ----------------------------------------------------------

bool TNotesPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == richEdit_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods =
            key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
        const bool ctrl = mods == Qt::ControlModifier;
        if (ctrl && key->key() == Qt::Key_B) {
            toggleStyle(TBBold);
        } else if ((ctrl && key->key() == Qt::Key_I) ||
                   (mods == Qt::NoModifier && key->key() == Qt::Key_Tab)) {
            toggleStyle(TBItalic);
        } else if (ctrl && key->key() == Qt::Key_U) {
            toggleStyle(TBUnderline);
        } else if (ctrl && key->key() == Qt::Key_N) {
            clearStyles();
        } else {
            return QWidget::eventFilter(watched, event);
        }
        RichEdit1SelectionChange();
        return true;
    }
    // The window's shortcuts must not take the editor's formatting keys.
    if (watched == richEdit_ && event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::ControlModifier &&
            (key->key() == Qt::Key_B || key->key() == Qt::Key_I || key->key() == Qt::Key_U ||
             key->key() == Qt::Key_N)) {
            event->accept();
            return true;
        }
    }
    if (watched == richEdit_->viewport() && event->type() == QEvent::ContextMenu) {
        popup_->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace orlo

#include "voltaro/graph/ui/CUserFormulaDlg.h"

#include "platform/core/Prompts.h"
#include "platform/core/TextCodec.h"
#include "voltaro/graph/UserFormulaStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace voltaro {
namespace {

// A list entry "title:\tformula" drawn in two columns: the text after the tab
// starts at a fixed tab stop (further along when the title is longer).
class TabStopDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const QRect r = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        const int tab = text.indexOf(QLatin1Char('\t'));
        const QString left = tab < 0 ? text : text.left(tab);
        const QString right = tab < 0 ? QString() : text.mid(tab + 1);
        const QFontMetrics fm(opt.font);
        const int stop = fm.horizontalAdvance(QLatin1Char('x')) * 18;
        const int leftWidth = fm.horizontalAdvance(left) + fm.horizontalAdvance(QLatin1Char(' '));
        const int rightX = std::max(stop, leftWidth);

        painter->save();
        painter->setPen(opt.palette.color(
            opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        const int margin = 3;
        painter->drawText(r.adjusted(margin, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, left);
        if (!right.isEmpty()) {
            const QRect rr = r.adjusted(margin + rightX, 0, 0, 0);
            painter->drawText(rr, Qt::AlignVCenter | Qt::AlignLeft,
                              fm.elidedText(right, Qt::ElideRight, rr.width()));
        }
        painter->restore();
    }
};

struct InsertSpec {
    int id;
    const char* caption;
    const char* text;
    const char* placeholder;  // functions: the argument to select
};

// Digits, point and exponent; operators.
const InsertSpec kNumberButtons[] = {
    {1058, "7", "7", nullptr}, {1059, "8", "8", nullptr}, {1060, "9", "9", nullptr},
    {1031, "+", "+", nullptr}, {1055, "4", "4", nullptr}, {1056, "5", "5", nullptr},
    {1057, "6", "6", nullptr}, {1032, "-", "-", nullptr}, {1050, "1", "1", nullptr},
    {1053, "2", "2", nullptr}, {1054, "3", "3", nullptr}, {1038, "x", "*", nullptr},
    {1061, "0", "0", nullptr}, {1064, ".", ".", nullptr}, {1066, "e", "e", nullptr},
    {1049, "/", "/", nullptr},
};

// Values at T1 and T2 and their difference, one row per quantity.
const InsertSpec kVariableButtons[] = {
    {1033, "T1", "T1", nullptr}, {1037, "T2", "T2", nullptr}, {1039, "dT", "dT", nullptr},
    {1034, "U1", "U1", nullptr}, {1041, "U2", "U2", nullptr}, {1040, "dU", "dU", nullptr},
    {1042, "I1", "I1", nullptr}, {1043, "I2", "I2", nullptr}, {1048, "dI", "dI", nullptr},
    {1044, "C1", "C1", nullptr}, {1045, "C2", "C2", nullptr}, {1051, "dC", "dC", nullptr},
    {1046, "E1", "E1", nullptr}, {1047, "E2", "E2", nullptr}, {1052, "dE", "dE", nullptr},
    {1075, "R1", "R1", nullptr}, {1076, "R2", "R2", nullptr}, {1077, "dR", "dR", nullptr},
};

// The samples' own values inside int_dt.
const InsertSpec kIntegralButtons[] = {
    {1071, "U", "U", nullptr}, {1119, "I", "I", nullptr}, {1073, "C", "C", nullptr},
    {1068, "T", "T", nullptr}, {1074, "R", "R", nullptr},
};

const InsertSpec kFunctionButtons[] = {
    {1013, "sin", "sin", "x"},   {1014, "cos", "cos", "x"},     {1015, "tan", "tan", "x"},
    {1016, "asin", "asin", "x"}, {1017, "acos", "acos", "x"},   {1018, "atan", "atan", "x"},
    {1019, "sinh", "sinh", "x"}, {1020, "cosh", "cosh", "x"},   {1021, "tanh", "tanh", "x"},
    {1022, "exp", "exp", "x"},   {1023, "log", "log", "x"},     {1024, "ln", "ln", "x"},
    {1025, "sqrt", "sqrt", "x"}, {1026, "floor", "floor", "x"}, {1027, "ceil", "ceil", "x"},
    {1028, "abs", "abs", "x"},   {1030, "rad", "rad", "deg"},   {1029, "deg", "deg", "rad"},
};

QString qt(const char* s) {
    return QString::fromLatin1(s);
}

bool lessIgnoringCase(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

}  // namespace

CUserFormulaDlg::CUserFormulaDlg(const std::string& title, const std::string& formula,
                                 const platform::SettingsKey* settingsRoot,
                                 platform::Prompts& prompts, FormulaDialogPlacement& placement,
                                 QWidget* parent)
    : QDialog(parent), m_settingsRoot(settingsRoot), m_prompts(prompts), m_placement(placement) {
    setWindowTitle(qt(kCaption));
    setWindowIcon(QApplication::windowIcon());
    setObjectName(QStringLiteral("CUserFormulaDlg"));

    auto* top = new QVBoxLayout(this);

    auto* fields = new QGridLayout;
    m_title = new QLineEdit(this);
    m_title->setObjectName(QStringLiteral("IDC_TITLE"));
    m_formula = new QPlainTextEdit(this);
    m_formula->setObjectName(QStringLiteral("IDC_FORMULA"));
    m_formula->setTabChangesFocus(true);
    m_formula->setFixedHeight(m_formula->fontMetrics().lineSpacing() * 5 + 12);
    auto* titleLabel = new QLabel(QStringLiteral("&Title:"), this);
    titleLabel->setBuddy(m_title);
    auto* formulaLabel = new QLabel(QStringLiteral("&Formula:"), this);
    formulaLabel->setBuddy(m_formula);
    fields->addWidget(titleLabel, 0, 0);
    fields->addWidget(m_title, 0, 1);
    fields->addWidget(formulaLabel, 1, 0, Qt::AlignTop);
    fields->addWidget(m_formula, 1, 1);
    top->addLayout(fields);

    auto* insertGroup = new QGroupBox(QStringLiteral("Insert"), this);
    insertGroup->setObjectName(QStringLiteral("IDC_INSERT_GROUP"));
    BuildInsertButtons(insertGroup);
    top->addWidget(insertGroup);

    auto* recentGroup = new QGroupBox(QStringLiteral("Recently used formulas"), this);
    recentGroup->setObjectName(QStringLiteral("IDC_RECENT_GROUP"));
    auto* recentLayout = new QVBoxLayout(recentGroup);
    m_list = new QListWidget(recentGroup);
    m_list->setObjectName(QStringLiteral("IDC_RECENT_LIST"));
    m_list->setSelectionMode(QAbstractItemView::MultiSelection);
    m_list->setItemDelegate(new TabStopDelegate(m_list));
    m_list->setUniformItemSizes(true);
    recentLayout->addWidget(m_list);
    // Only the list grows in height.
    top->addWidget(recentGroup, 1);

    auto* bottom = new QHBoxLayout;
    m_delete = new QPushButton(QStringLiteral("DEL"), this);
    m_use = new QPushButton(QStringLiteral("USE"), this);
    m_add = new QPushButton(QStringLiteral("ADD"), this);
    for (QPushButton* b : {m_delete, m_use, m_add}) {
        b->setAutoDefault(false);
        bottom->addWidget(b);
    }
    m_useAsDefault = new QCheckBox(QStringLiteral("Use by empty documents as default"), this);
    m_useAsDefault->setObjectName(QStringLiteral("IDC_USE_AS_DEFAULT"));
    m_useAsDefault->setChecked(true);
    m_useAsDefault->setVisible(false);
    bottom->addWidget(m_useAsDefault);
    bottom->addStretch(1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    bottom->addWidget(buttons);
    top->addLayout(bottom);

    connect(buttons, &QDialogButtonBox::accepted, this, &CUserFormulaDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CUserFormulaDlg::reject);
    connect(m_delete, &QPushButton::clicked, this, &CUserFormulaDlg::OnDelete);
    connect(m_use, &QPushButton::clicked, this, &CUserFormulaDlg::OnUse);
    connect(m_add, &QPushButton::clicked, this, &CUserFormulaDlg::OnAdd);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &CUserFormulaDlg::UpdateButtons);
    connect(m_formula, &QPlainTextEdit::textChanged, this, &CUserFormulaDlg::UpdateButtons);

    // Fill.
    m_title->setText(platform::toQt(title));
    m_formula->setPlainText(platform::toQt(FormulaForEdit(formula)));
    for (const std::string& entry : ReadRecentFormulas(m_settingsRoot))
        AddEntry(platform::toQt(entry));
    UpdateButtons();

    // The size the dialog is built with is its smallest.
    setMinimumSize(sizeHint());
    resize(sizeHint());
    RestorePosition();
    m_formula->setFocus();
}

void CUserFormulaDlg::BuildInsertButtons(QWidget* group) {
    auto* row = new QHBoxLayout(group);
    const int side = fontMetrics().height() + 10;
    auto createButton = [&](int id, const char* caption, int width) {
        auto* b = new QPushButton(qt(caption), group);
        b->setObjectName(QStringLiteral("IDC_%1").arg(id));
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(width, side);
        m_insertButtons[id] = b;
        return b;
    };
    auto makeButton = [&](const InsertSpec& button, int width) {
        QPushButton* b = createButton(button.id, button.caption, width);
        const QString text = qt(button.text);
        if (button.placeholder) {
            // "name(placeholder)" with the placeholder selected for typing.
            const QString inserted = QStringLiteral("%1(%2)").arg(text, qt(button.placeholder));
            const int from = static_cast<int>(text.size()) + 1;
            const int length = static_cast<int>(qstrlen(button.placeholder));
            connect(b, &QPushButton::clicked, this,
                    [this, inserted, from, length] { Insert(inserted, from, length); });
        } else {
            connect(b, &QPushButton::clicked, this, [this, text] { Insert(text); });
        }
        return b;
    };
    auto grid = [&](const InsertSpec* specs, std::size_t count, int columns, int width) {
        auto* g = new QGridLayout;
        g->setSpacing(2);
        g->setAlignment(Qt::AlignTop);
        for (std::size_t k = 0; k < count; ++k)
            g->addWidget(makeButton(specs[k], width), static_cast<int>(k) / columns,
                         static_cast<int>(k) % columns);
        return g;
    };
    const int narrow = side + 4;
    const int wide = fontMetrics().horizontalAdvance(QStringLiteral("floor")) + 16;
    row->addLayout(grid(kNumberButtons, std::size(kNumberButtons), 4, narrow), 0);
    row->addSpacing(8);
    row->addLayout(grid(kVariableButtons, std::size(kVariableButtons), 3, narrow + 6), 0);
    row->addSpacing(8);

    auto* integral = new QVBoxLayout;
    integral->setSpacing(2);
    QPushButton* intButton = createButton(IDC_INT_DT, "int_dt", wide + 10);
    // int_dt comes with its arguments; the expression is selected for typing.
    connect(intButton, &QPushButton::clicked, this,
            [this] { Insert(QStringLiteral("int_dt(expression, T1, T2)"), 7, 10); });
    integral->addWidget(intButton);
    integral->addLayout(grid(kIntegralButtons, std::size(kIntegralButtons), 2, narrow), 0);
    integral->addStretch(1);
    row->addLayout(integral, 0);
    row->addSpacing(8);
    row->addLayout(grid(kFunctionButtons, std::size(kFunctionButtons), 3, wide), 0);
    row->addStretch(1);
}

QPushButton* CUserFormulaDlg::insertButton(int id) const {
    const auto it = m_insertButtons.find(id);
    return it == m_insertButtons.end() ? nullptr : it->second;
}

QStringList CUserFormulaDlg::recentEntries() const {
    QStringList out;
    for (int row = 0; row < m_list->count(); ++row)
        out.append(m_list->item(row)->text());
    return out;
}

bool CUserFormulaDlg::UseAsDefault() const {
    return m_useAsDefault->isChecked();
}

void CUserFormulaDlg::Insert(const QString& text, int selectFrom, int selectLength) {
    QTextCursor cursor = m_formula->textCursor();
    const int start = cursor.selectionStart();
    cursor.insertText(text);
    if (selectFrom >= 0) {
        cursor.setPosition(start + selectFrom);
        cursor.setPosition(start + selectFrom + selectLength, QTextCursor::KeepAnchor);
    }
    m_formula->setTextCursor(cursor);
    m_formula->setFocus();
}

int CUserFormulaDlg::AddEntry(const QString& entry) {
    int row = 0;
    while (row < m_list->count() && !lessIgnoringCase(entry, m_list->item(row)->text()))
        ++row;
    m_list->insertItem(row, entry);
    return row;
}

void CUserFormulaDlg::UpdateButtons() {
    const auto selected = m_list->selectedItems().size();
    m_delete->setEnabled(selected >= 1);
    m_use->setEnabled(selected == 1);
    m_add->setEnabled(!m_formula->toPlainText().isEmpty());
}

void CUserFormulaDlg::OnDelete() {
    if (m_list->selectedItems().isEmpty())
        return;
    if (m_prompts.askYesNo(qt(kDeleteQuestion)) != platform::Button::Yes)
        return;
    for (int row = m_list->count() - 1; row >= 0; --row)
        if (m_list->item(row)->isSelected())
            delete m_list->takeItem(row);
    UpdateButtons();
}

void CUserFormulaDlg::OnUse() {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    if (selected.size() != 1)
        return;
    const RecentFormulaParts parts = SplitRecentFormulaEntry(platform::fromQt(selected[0]->text()));
    if (parts.title)
        m_title->setText(platform::toQt(*parts.title));
    m_formula->setPlainText(platform::toQt(parts.formula));
    m_formula->setFocus();
}

void CUserFormulaDlg::OnAdd() {
    if (m_formula->toPlainText().isEmpty())
        return;
    // One line per entry: the stored list is separated by line feeds.
    const std::string title = FormulaFromEdit(platform::fromQt(m_title->text()));
    const std::string formula = FormulaFromEdit(platform::fromQt(m_formula->toPlainText()));
    const int row = AddEntry(platform::toQt(RecentFormulaEntry(title, formula)));
    m_list->clearSelection();
    m_list->item(row)->setSelected(true);
    m_list->setCurrentRow(row, QItemSelectionModel::NoUpdate);
    UpdateButtons();
}

void CUserFormulaDlg::accept() {
    m_strFormula = FormulaFromEdit(platform::fromQt(m_formula->toPlainText()));
    m_strTitle = platform::fromQt(m_title->text());
    std::vector<std::string> list;
    for (const QString& entry : recentEntries())
        list.push_back(platform::fromQt(entry));
    WriteRecentFormulas(m_settingsRoot, list);
    QDialog::accept();
}

void CUserFormulaDlg::done(int result) {
    const QRect r = geometry();
    m_placement.lastRect = r;
    WriteFormulaDialogRect(m_settingsRoot,
                           {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
    QDialog::done(result);
}

void CUserFormulaDlg::RestorePosition() {
    std::optional<QRect> rect = m_placement.lastRect;
    if (!rect) {
        if (const std::optional<DialogRect> stored = ReadFormulaDialogRect(m_settingsRoot)) {
            const DialogRect& s = *stored;
            const qint64 width = static_cast<qint64>(s[2]) - s[0];
            const qint64 height = static_cast<qint64>(s[3]) - s[1];
            if (width <= 100000 && height <= 100000)
                rect = QRect(s[0], s[1], static_cast<int>(width), static_cast<int>(height));
        }
    }
    if (!rect)
        return;
    // A rectangle on a screen that is gone would hide the dialog.
    bool visible = false;
    for (const QScreen* screen : QGuiApplication::screens())
        visible = visible || screen->availableGeometry().intersects(*rect);
    if (!visible)
        return;
    setGeometry(rect->x(), rect->y(), std::max(rect->width(), minimumWidth()),
                std::max(rect->height(), minimumHeight()));
}

}  // namespace voltaro

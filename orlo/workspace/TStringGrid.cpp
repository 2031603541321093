#include "orlo/workspace/TStringGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace orlo {
namespace {

constexpr QColor kGridPen(128, 128, 128);
constexpr QColor kSelected(134, 208, 249);
constexpr int kCheckSize = 13;

class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const auto* grid = static_cast<const TStringGrid*>(parent());
        const int col = index.column();
        const bool selected = option.state.testFlag(QStyle::State_Selected) ||
                              (option.state.testFlag(QStyle::State_HasFocus));
        const QColor brush = selected ? kSelected : (col == 0 ? Qt::white : Qt::black);
        painter->save();
        QRect r = option.rect;
        // One pixel larger to the right, top and bottom (and left after the first
        // column), so that neighbouring frames share their lines.
        r.adjust(col == 0 ? 0 : -1, -1, 0, 0);
        painter->setPen(kGridPen);
        painter->setBrush(brush);
        painter->drawRect(r);
        const QString text = index.data().toString();
        if (col == 0) {
            painter->setClipRect(option.rect);
            painter->setPen(Qt::black);
            const QRect textRect = option.rect.adjusted(2, 3, 0, 0);
            painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        } else {
            QStyleOptionButton box;
            box.rect = QRect(option.rect.left() + (option.rect.width() - kCheckSize) / 2,
                             option.rect.top() + (option.rect.height() - kCheckSize) / 2,
                             kCheckSize, kCheckSize);
            if (text == QLatin1String("1"))
                box.state = QStyle::State_Enabled | QStyle::State_On;
            else if (text == QLatin1String("0"))
                box.state = QStyle::State_Enabled | QStyle::State_Off;
            else
                box.state = QStyle::State_Off;  // inactive
            box.palette = option.palette;
            box.palette.setColor(QPalette::Base, Qt::white);
            grid->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, grid);
        }
        painter->restore();
    }
};

}  // namespace

TStringGrid::TStringGrid(QWidget* parent) : QTableWidget(1, 3, parent) {
    setObjectName(QStringLiteral("StringGrid1"));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(DefaultColWidth);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(DefaultRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setColumnHidden(ColPath, true);
    setFrameShape(QFrame::NoFrame);
    setShowGrid(false);  // the delegate draws the lines
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(new GridDelegate(this));
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QTableWidget::currentCellChanged, this, &TStringGrid::onCurrentCellChanged);
}

QString TStringGrid::Cells(int col, int row) const {
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void TStringGrid::SetCells(int col, int row, const QString& text) {
    QTableWidgetItem* it = item(row, col);
    if (!it) {
        it = new QTableWidgetItem;
        if (col != ColName)
            it->setFlags(Qt::ItemIsEnabled);
        setItem(row, col, it);
    }
    it->setText(text);
}

void TStringGrid::SetRowCount(int rows) {
    silent_ = true;
    setRowCount(rows);
    silent_ = false;
}

int TStringGrid::Row() const {
    const int r = currentRow();
    return r < 0 ? 0 : r;
}

void TStringGrid::SetRowSilently(int row) {
    silent_ = true;
    setCurrentCell(row, ColName);
    silent_ = false;
}

void TStringGrid::RemoveRowSilently(int row) {
    silent_ = true;
    removeRow(row);
    silent_ = false;
}

bool TStringGrid::InCheckZone(int row, const QPoint& pos) const {
    const QRect cell = CellRect(row, ColShow);
    const QRect inner = cell.adjusted(2, 2, -2, -2);
    return pos.x() > inner.left() && pos.x() < inner.right() && pos.y() > inner.top() &&
           pos.y() < inner.bottom();
}

void TStringGrid::onCurrentCellChanged(int row, int col, int previousRow, int previousCol) {
    (void)previousCol;
    if (silent_ || row < 0 || col != ColName || row == previousRow)
        return;
    emit RowSelected(row);
}

void TStringGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        if (index.isValid())
            emit PopupRequested(index.row(), event->globalPosition().toPoint());
        return;
    }
    // Only the name column can be selected.
    if (index.isValid() && index.column() != ColName) {
        setFocus(Qt::MouseFocusReason);
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void TStringGrid::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    if (event->button() == Qt::LeftButton && index.isValid() && index.column() == ColShow) {
        const int row = index.row();
        const QString value = Cells(ColShow, row);
        if ((value == QLatin1String("0") || value == QLatin1String("1")) && InCheckZone(row, pos)) {
            // The owner's block list takes the new value and the cell follows it.
            emit CheckToggled(row, value == QLatin1String("0"));
        }
        return;
    }
    QTableWidget::mouseReleaseEvent(event);
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && lastMouseCol_ == ColName && currentRow() >= 0) {
        emit CloseRequested(currentRow());
        return;
    }
    QTableWidget::mouseDoubleClickEvent(event);
}

void TStringGrid::mouseMoveEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const int row = index.isValid() ? index.row() : -1;
    const int col = index.isValid() ? index.column() : -1;
    lastMouseCol_ = col;
    if (row != hintRow_ || col != hintCol_) {
        hintRow_ = row;
        hintCol_ = col;
        QString hint;
        if (col == ColName)
            hint = Cells(ColPath, row);
        else if (col == ColShow)
            hint = QStringLiteral("Show block in the graph");
        setToolTip(hint);
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(event->globalPosition().toPoint(), hint, this);
    }
    QTableWidget::mouseMoveEvent(event);
}

void TStringGrid::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && currentColumn() == ColName && currentRow() >= 0) {
        emit CloseRequested(currentRow());
        return;
    }
    QTableWidget::keyReleaseEvent(event);
}

void TStringGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    emit Resized();
}

QModelIndex TStringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
    if (!next.isValid())
        return next;
    return model()->index(next.row(), ColName);
}

}  // namespace orlo

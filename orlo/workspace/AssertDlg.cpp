#include "orlo/workspace/AssertDlg.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyle>
#include <QVBoxLayout>
#include <QtDebug>

namespace orlo {
namespace {

AssertSink& sink() {
    static AssertSink s;
    return s;
}

constexpr int kIconSize = 32;

}  // namespace

QString AssertText(const QString& message, const QString& unit, int line, quintptr address) {
    return QStringLiteral("%1 (%2, line %3, address $%4)")
        .arg(message, unit)
        .arg(line)
        .arg(QString::number(static_cast<qulonglong>(address), 16));
}

void AssertReport(const QString& message, const char* file, int line, quintptr address) {
    const QString text =
        AssertText(message, QFileInfo(QString::fromLocal8Bit(file)).fileName(), line, address);
    qDebug().noquote() << text;
    if (sink() && !QCoreApplication::closingDown())
        sink()(text);
}

AssertSink SetAssertSink(AssertSink s) {
    AssertSink previous = std::move(sink());
    sink() = std::move(s);
    return previous;
}

__attribute__((noinline)) void AssertCheckFailed(const QString& message, const char* file,
                                                 int line) {
    const auto address = reinterpret_cast<quintptr>(__builtin_return_address(0));
    AssertReport(message, file, line, address - 1);
}

TFormAssert::TFormAssert(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormAssert"));
    setWindowTitle(QStringLiteral("Assert"));
    setModal(false);
    resize(586, 325);
    auto* layout = new QVBoxLayout(this);
    // Room on the left for the error icon painted beside the label.
    layout->setContentsMargins(kIconSize + 25, 10, 10, 10);
    label_ = new QLabel(this);
    label_->setWordWrap(true);
    memo_ = new QPlainTextEdit(this);
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(label_);
    layout->addWidget(memo_, 1);
    previous_ = SetAssertSink([this](const QString& line) { Report(line); });
}

TFormAssert::~TFormAssert() {
    SetAssertSink(std::move(previous_));
}

void TFormAssert::Report(const QString& line) {
    label_->setText(line);
    memo_->appendPlainText(line);
    show();
}

QString TFormAssert::LabelText() const {
    return label_->text();
}

QString TFormAssert::MemoText() const {
    return memo_->toPlainText();
}

void TFormAssert::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    const QIcon icon = style()->standardIcon(QStyle::SP_MessageBoxCritical);
    const QPoint at(label_->geometry().left() - kIconSize - 15, label_->geometry().top() + 10);
    icon.paint(&painter, QRect(at, QSize(kIconSize, kIconSize)));
}

void TFormAssert::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        raise();
}

}  // namespace orlo

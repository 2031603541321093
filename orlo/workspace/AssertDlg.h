#pragma once
// The report of broken internal invariants: a failed check is shown in the
// assertion window (and sent to the debug output) and the caller goes on with its
// own fallback.

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QPlainTextEdit;

namespace orlo {

// "message (unit, line n, address $hex)".
QString AssertText(const QString& message, const QString& unit, int line, quintptr address);

// Formats the line, hands it to the installed sink and to the debug output.
void AssertReport(const QString& message, const char* file, int line, quintptr address);

// Where reports go besides the debug output; none before the window exists. Returns
// the previous sink.
using AssertSink = std::function<void(const QString& line)>;
AssertSink SetAssertSink(AssertSink sink);

// Called by ORLO_CHECK; the address is the one of the failed check.
void AssertCheckFailed(const QString& message, const char* file, int line);

class TFormAssert : public QDialog {
    Q_OBJECT
public:
    explicit TFormAssert(QWidget* parent = nullptr);
    ~TFormAssert() override;

    // Puts the line in the label, appends it to the memo, shows the window.
    void Report(const QString& line);
    QString LabelText() const;
    QString MemoText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QLabel* label_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    AssertSink previous_;
};

}  // namespace orlo

// Reports message when cond is false and goes on; evaluates to cond.
#define ORLO_CHECK(cond, message) \
    ((cond) ? true : (::orlo::AssertCheckFailed((message), __FILE__, __LINE__), false))

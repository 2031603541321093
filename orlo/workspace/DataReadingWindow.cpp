#include "orlo/workspace/DataReadingWindow.h"

#include "orlo/device/ui/TOrloComForm.h"

namespace orlo {

TDataReadingWindow::TDataReadingWindow(std::unique_ptr<TOrloComForm> form)
    : form_(std::move(form)) {}

TDataReadingWindow::~TDataReadingWindow() = default;

QString TDataReadingWindow::DefaultFolder() const {
    return form_->DefaultFolder;
}

void TDataReadingWindow::SetDefaultFolder(const QString& folder) {
    form_->DefaultFolder = folder;
}

QString TDataReadingWindow::PortName() const {
    return form_->PortName;
}

void TDataReadingWindow::SetPortName(const QString& port) {
    form_->PortName = port;
}

QString TDataReadingWindow::DefaultFileName() const {
    return form_->DefaultFileName;
}

void TDataReadingWindow::SetDefaultFileName(const QString& name) {
    form_->DefaultFileName = name;
}

QDialog* TDataReadingWindow::Dialog() {
    return form_.get();
}

TOrloMemory& TDataReadingWindow::Memory() {
    return form_->link().Memory;
}

}  // namespace orlo

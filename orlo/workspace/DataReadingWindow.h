#pragma once
// The Data Reading window as the main window uses it: its three settings, its
// modal showing and the blocks of its last download.

#include "orlo/workspace/TDataReading.h"

#include <memory>

namespace orlo {

class TOrloComForm;

class TDataReadingWindow : public TDataReading {
public:
    explicit TDataReadingWindow(std::unique_ptr<TOrloComForm> form);
    ~TDataReadingWindow() override;

    QString DefaultFolder() const override;
    void SetDefaultFolder(const QString& folder) override;
    QString PortName() const override;
    void SetPortName(const QString& port) override;
    QString DefaultFileName() const override;
    void SetDefaultFileName(const QString& name) override;
    QDialog* Dialog() override;
    TOrloMemory& Memory() override;

private:
    std::unique_ptr<TOrloComForm> form_;
};

}  // namespace orlo

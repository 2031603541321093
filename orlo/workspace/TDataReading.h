#pragma once
// The Data Reading window as the main window sees it: its three settings, its modal
// showing and the blocks of its last download.

#include <QString>

class QDialog;

namespace orlo {

class TOrloMemory;

class TDataReading {
public:
    virtual ~TDataReading() = default;
    virtual QString DefaultFolder() const = 0;
    virtual void SetDefaultFolder(const QString& folder) = 0;
    virtual QString PortName() const = 0;
    virtual void SetPortName(const QString& port) = 0;
    virtual QString DefaultFileName() const = 0;
    virtual void SetDefaultFileName(const QString& name) = 0;
    // nullptr where the program has no logger window.
    virtual QDialog* Dialog() = 0;
    virtual TOrloMemory& Memory() = 0;
};

}  // namespace orlo

#pragma once
// The about box.

#include <QDialog>

namespace orlo {

class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* parent = nullptr);
};

}  // namespace orlo

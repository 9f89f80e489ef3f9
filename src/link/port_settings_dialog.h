#pragma once
#include <QDialog>

#include "link/port_names.h"

class QComboBox;

namespace ws {

// Maps COM1 and COM2 to the serial devices of this system (a USB adapter, a virtual port).
class PortSettingsDialog : public QDialog {
    Q_OBJECT

  public:
    PortSettingsDialog(const PortMap& map, QWidget* parent = nullptr);
    PortMap Result() const;

  private:
    QComboBox* com1_ = nullptr;
    QComboBox* com2_ = nullptr;
};

}  // namespace ws

#include "link/port_settings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSerialPortInfo>

namespace ws {

PortSettingsDialog::PortSettingsDialog(const PortMap& map, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PortSettings"));
    setWindowTitle(QStringLiteral("Порты"));
    auto* form = new QFormLayout(this);
    form->addRow(new QLabel(QStringLiteral("Какое устройство открывать для COM1 и COM2:"), this));
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices << info.systemLocation();
    auto make = [&](const char* name, const std::string& current) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setEditable(true);
        box->addItems(devices);
        box->setCurrentText(QString::fromStdString(current));
        box->setMinimumContentsLength(24);
        return box;
    };
    com1_ = make("cmbCOM1", map.com1);
    com2_ = make("cmbCOM2", map.com2);
    form->addRow(QStringLiteral("COM1"), com1_);
    form->addRow(QStringLiteral("COM2"), com2_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

PortMap PortSettingsDialog::Result() const {
    PortMap map;
    map.com1 = com1_->currentText().trimmed().toStdString();
    map.com2 = com2_->currentText().trimmed().toStdString();
    return map;
}

}  // namespace ws

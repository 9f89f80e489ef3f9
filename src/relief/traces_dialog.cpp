#include "relief/traces_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "relief/relief_view.h"
#include "ui/qt_surface.h"

namespace ws {
namespace {
QRect Twips(double left, double top, double width, double height) {
    return QRect(TwipsToPx(left), TwipsToPx(top), std::max(1, TwipsToPx(width)),
                 std::max(1, TwipsToPx(height)));
}
}  // namespace

TracesDialog::TracesDialog(ReliefView& view, QWidget* parent) : QDialog(parent), view_(view) {
    setObjectName("Traces");
    setWindowTitle(QString::fromUtf8("Выбрать/Спрятать  Трассы"));
    setModal(true);
    const int n = std::clamp<int>(view.Ws.ReliefFileCount, 0, 10);
    // Wide enough for the rows and the two buttons at 2760..3975.
    setFixedSize(TwipsToPx(4200), TwipsToPx(200.0 * n + 800));

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setGeometry(Twips(2760, 0, 1215, 375));
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("CancelButton");
    cancel->setGeometry(Twips(2760, 480, 1215, 375));
    connect(ok, &QPushButton::clicked, this, &TracesDialog::OKButton_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    QFont small = font();
    small.setPointSizeF(7);
    for (int i = 0; i < 10; ++i) {
        const int j = i + 1;
        label2_[i] = new QLabel(this);
        label2_[i]->setObjectName(QString("Label2(%1)").arg(i));
        check1_[i] = new QCheckBox(this);
        check1_[i]->setObjectName(QString("Check1(%1)").arg(i));
        label1_[i] = new QLabel(this);
        label1_[i]->setObjectName(QString("Label1(%1)").arg(i));
        label1_[i]->setFont(small);
        if (j <= n) {
            check1_[i]->setChecked(view.TraceVisible[j] != 0);
            // The name is wider than the 500 twips it was laid out for; it would be cut off.
            label1_[i]->setGeometry(Twips(750, 200.0 * j, 1900, 200));
            label1_[i]->setText(
                QString::fromStdString(ReliefView::StripExtension(view.Ws.ReliefFileNames[j])));
            check1_[i]->setGeometry(Twips(500, 200.0 * j, 255, 255));
            label2_[i]->setGeometry(Twips(350, 200.0 * j, 400, 150));
            const auto& c = view.TraceTopColor[j];
            label2_[i]->setAutoFillBackground(true);
            QPalette pal = label2_[i]->palette();
            pal.setColor(QPalette::Window, QColor(c[0], c[1], c[2]));
            label2_[i]->setPalette(pal);
            label1_[i]->setVisible(true);
            label2_[i]->setVisible(true);
            check1_[i]->setVisible(true);
        } else {
            label1_[i]->setVisible(false);
            label2_[i]->setVisible(false);
            check1_[i]->setVisible(false);
            check1_[i]->setTristate(true);
            check1_[i]->setCheckState(Qt::PartiallyChecked);
            label1_[i]->setText(QString());
        }
    }
}

void TracesDialog::OKButton_Click() {
    const int n = std::clamp<int>(view_.Ws.ReliefFileCount, 0, 10);
    for (int j = 1; j <= n; ++j)
        view_.TraceVisible[j] = check1_[j - 1]->checkState() != Qt::Unchecked ? -1 : 0;
    accept();
}

}  // namespace ws

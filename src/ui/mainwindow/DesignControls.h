// Controls as the main window's design draws them: named, placed in twips,
// with its colours. The panels of the main window make theirs with these.
#pragma once

#include <QRectF>
#include <QString>
#include <QtCore/qnamespace.h>

class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QWidget;

namespace DesignControls {

// "Name_3": the design's control arrays keep their index in the name.
QString IndexedName(const QString &name, int index);

QFrame *NewPanel(QWidget *parent, const QString &name, const QRectF &twips, bool border);
QLabel *NewLabel(QWidget *parent, const QString &name, const QString &text, const QRectF &twips,
                 double pointSize = 0, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
// A lamp beside a choice: lit when its choice is selected.
QLabel *NewLamp(QWidget *parent, const QString &name, double left, double top, bool lit);
QRadioButton *NewOption(QWidget *parent, const QString &name, const QString &text, const QRectF &twips,
                        bool selected);
QPushButton *NewButton(QWidget *parent, const QString &name, const QString &text, const QRectF &twips);
QFrame *NewLine(QWidget *parent, const QString &name, int colour);

// A frame's border takes room from what its children can use.
double InnerWidth(const QWidget *widget);
double InnerHeight(const QWidget *widget);

} // namespace DesignControls

// What the main window shows and what the next preview or export would use,
// captured so that two moments of a session can be compared.
#pragma once

#include "core/equalizer/BandTable.h"
#include "ui/mainwindow/MainWindow.h"
#include "Controls.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QStringList>

struct MainWindowState
{
    // Positions, readouts, choices, levels and gain texts.
    QStringList controls;
    // The filter chains and the boxes that show them.
    QStringList chains;

    // A band never moved reads "00" and holds "0"; once a move, the import
    // or Reset applies it, it reads and holds "-0". Both are the same flat
    // band, so both are written "-0" here.
    static QString Centre(const QString &text)
    {
        return text == QLatin1String("00") || text == QLatin1String("0") ? QStringLiteral("-0") : text;
    }

    static MainWindowState Of(const MainWindow *form)
    {
        const Session &shared = form->session();
        MainWindowState state;
        for (int band = 0; band < BandTable::BandCount; ++band) {
            state.controls << QStringLiteral("band %1: %2 %3 %4 | %5 %6 %7")
                                  .arg(band)
                                  .arg(Control<QSlider>(form, "LeftChanelSlider", band)->value())
                                  .arg(Centre(Control<QLabel>(form, "Label2", band)->text()), Centre(shared.State().LeftBandGain[band]))
                                  .arg(Control<QSlider>(form, "RightChanelSlider", band)->value())
                                  .arg(Centre(Control<QLabel>(form, "Label6", band)->text()), Centre(shared.State().RightBandGain[band]));
        }
        for (int channel = 0; channel < 2; ++channel)
            state.controls << QStringLiteral("level %1: %2 %3").arg(channel)
                                  .arg(Control<QSlider>(form, "Slider1", channel)->value())
                                  .arg(Control<QLabel>(form, "Label9", channel)->text());
        state.controls << QStringLiteral("volumes %1 %2, bandwidth %3 %4, low cut %5, preview %6")
                              .arg(shared.Volume(0)).arg(shared.Volume(1))
                              .arg(Control<QSlider>(form, "Slider2")->value()).arg(shared.State().Bandwidth)
                              .arg(shared.State().LowCutEnabled).arg(shared.PreviewChannel());
        for (const char *choices : {"Option1", "Option2", "Option3", "Option4"}) {
            QString checked;
            for (const QRadioButton *choice : Controls<QRadioButton>(form, choices))
                checked += choice->isChecked() ? QLatin1Char('x') : QLatin1Char('.');
            state.controls << checked;
        }
        static const QRegularExpression flatGain(QStringLiteral("g=0(,|$)"));
        state.chains = QStringList{shared.FilterChain(0), shared.FilterChain(1),
                                   Control<QPlainTextEdit>(form, "Text2")->toPlainText(), Control<QPlainTextEdit>(form, "Text3")->toPlainText()};
        state.chains.replaceInStrings(flatGain, QStringLiteral("g=-0\\1"));
        return state;
    }
};

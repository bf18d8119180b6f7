#include "ui/mainwindow/ChainPanel.h"

#include "session/Session.h"
#include "ui/Colours.h"
#include "ui/Twips.h"
#include "ui/mainwindow/DesignControls.h"

#include <QPlainTextEdit>

ChainPanel::ChainPanel(const Session &session, QWidget *window)
    : QFrame(window)
    , mSession(session)
{
    setObjectName(QStringLiteral("Picture2"));
    SetTwips(this, 240, 5760, 16215, 3255);
    SetBackColour(this, PanelGreyColour);
    const char *const names[] = {"Text2", "Text3"};
    const char *const accessibleNames[] = {"Left filter chain", "Right filter chain"};
    for (int channel = 0; channel < 2; ++channel) {
        auto *box = new QPlainTextEdit(this);
        box->setObjectName(QLatin1String(names[channel]));
        box->setAccessibleName(QLatin1String(accessibleNames[channel]));
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setTabChangesFocus(true);
        box->setFocusPolicy(Qt::ClickFocus);
        mBoxes[channel] = box;
    }
    SetTwips(mBoxes[0], 0, 0, 15615, 1455);
    SetTwips(mBoxes[1], 0, 1560, 15615, 1515);
}

void ChainPanel::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    Arrange();
}

void ChainPanel::Arrange()
{
    const double width = Twips(this).width();
    const double inner = DesignControls::InnerHeight(this);
    SetTwips(mBoxes[0], Twips(mBoxes[0]).x(), Twips(mBoxes[0]).y(), width, inner / 2);
    SetTwipsWidth(mBoxes[1], width);
    SetTwipsHeight(mBoxes[1], inner / 2 - 5);
    SetTwipsTop(mBoxes[1], Twips(mBoxes[0]).height() + 5);
}

void ChainPanel::Show()
{
    for (int channel = 0; channel < 2; ++channel) {
        if (mSession.ChainBoxSet(channel) && mBoxes[channel]->toPlainText() != mSession.ChainBox(channel))
            mBoxes[channel]->setPlainText(mSession.ChainBox(channel));
    }
}

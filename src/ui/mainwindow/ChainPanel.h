// The chain boxes: each channel's filter chain as ffmpeg gets it, in a
// panel shown where the window is tall enough.
#pragma once

#include <QFrame>

#include <array>

class Session;
class QPlainTextEdit;

class ChainPanel : public QFrame
{
    Q_OBJECT

public:
    ChainPanel(const Session &session, QWidget *window);

    // The boxes share the panel; call after setting its size in twips, which
    // may change without its pixels changing.
    void Arrange();
    // Each box shows its channel's chain box text once the session has one.
    void Show();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    const Session &mSession;
    std::array<QPlainTextEdit *, 2> mBoxes{}; // Text2, Text3
};

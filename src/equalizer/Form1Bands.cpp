#include "app/Form1.h"

void Form1::LeftChanelSlider_Scroll(int) {}
void Form1::RightChanelSlider_Scroll(int) {}
void Form1::SetLeftBandGain(int, qint16) {}
void Form1::SetRightBandGain(int, qint16) {}
void Form1::CopyLeftBandsToRight() {}
void Form1::ResetEqualizer() {}

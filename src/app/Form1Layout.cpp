#include "app/Form1.h"

void Form1::BuildBandPanels() {}
void Form1::LabelBandsAndShow() {}
void Form1::ArrangeMainWindow() {}
double Form1::HeightTwips() const { return mHeightTwips; }
void Form1::SetHeightTwips(double height) { mHeightTwips = height; }

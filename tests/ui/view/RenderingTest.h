// The drawing of the ship, read back from the view's framebuffer.
#pragma once

#include <QObject>

class RenderingTest : public QObject {
    Q_OBJECT
private slots:
    void anElementIsDrawnInItsColourWithItsFanDiagonal();
    void aDisabledElementIsNotDrawn();
    void theAxesSpanTheVolumeInRedGreenAndBlue();
    void aShipWithEveryElementDisabledShowsOnlyTheAxes();
    void theShadedPreviewIsLitAndItsBackFacesDark();
    void theNormalsPreviewSamplesFourFacesOfEachMesh();
    void clientArraysDrawTheImageOfOneBeginEndPerTriangle();
    void theModelCheckDrawsTheOpenEdgesOverTheShipWhileShown();
    void aConditionTurnsTheShipAndDrawsItsWaterplaneAndCentres();
};

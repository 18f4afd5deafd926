// The mouse on the view: turning, rubber bands, pans, zooms, the coarse
// picture of a dense hull while the camera moves; and pictures of the main
// window with the sample ship.
#pragma once

#include <QObject>

class ViewNavigationTest : public QObject {
    Q_OBJECT
private slots:
    void theRightButtonTurnsADegreePerPixel();
    void theMiddleButtonsBandInvertsPixelsAndZoomsOnRelease();
    void aMiddleClickWithoutMovementKeepsTheBounds();
    void theLeftButtonsLinePansTheImageAfterThePointer();
    void theWheelZoomsAThousandthPerUnit();
    void screenshotsOfTheSampleShip();
    void aDenseHullTurnsAndZoomsInItsCoarsePicture();
};

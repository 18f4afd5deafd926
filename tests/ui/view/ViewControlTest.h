// The view control window over a shown view, the two tool windows in the
// application, and a ship built from its drawings with the mouse alone.
#pragma once

#include <QObject>

class ViewControlTest : public QObject {
    Q_OBJECT
private slots:
    void thePlusAndMinusButtonsStepFiveDegreesAndWrap();
    void applyPutsBackTheAnglesTheWindowShowsAfterAMouseTurn();
    void autoZoomWritesTheNewDepthBoundsIntoTheBoxes();
    void zoomsEndWithTheBoxesDepthAndPansMoveByATenth();
    void anXAngleOutOfRangeIsAppliedAndStopsTheReading();
    void theCommandsShowTheToolWindowsAndOpenHidesTheTree();
    void theSampleShipBuiltInTheWindowsMatchesTheBundledFile();
    void screenshotsOfTheToolWindows();
};

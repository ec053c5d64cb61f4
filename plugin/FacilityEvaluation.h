// Which controller the user is listening to, and the caption naming it: from
// another ATC add-on, X-Plane's ATC, the Zuruvo ZEV plan or the nearest
// facility on the tuned frequency. Runs on the chatter thread.
#pragma once

struct Facility;

// NM a radio reaches at the aircraft's height above ground.
int getRadioRange();
// The nearest facility within 50 NM on the monitored COM radio's frequency.
Facility* getTunedFacility();
// With `pauseOnAnyAtis`: a monitored radio is on a nearby ATIS.
bool checkForAtisOnOtherRadio();
void evaluateFacility();
// Set by the last evaluation when chatter must pause (out of range, ATIS, no facility).
bool isAutomaticPause();

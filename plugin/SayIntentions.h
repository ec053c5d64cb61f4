// SayIntentions.AI, read through its datarefs: whether it talks on the radio
// and which controller the chatter radio is tuned to.
#pragma once

#include <atomic>

#include "host/XplmData.h"

enum SAI_Datarefs {
    SAI_ATC_MASTER_OFF = 0,
    SAI_AUDIO_PANEL2_VOLUME_SET,
    SAI_CLEARED_FOR_LANDING,
    SAI_CLEARED_FOR_TAKEOFF,
    SAI_COM1_RECEIVING,
    SAI_COM2_RECEIVING,
    SAI_COPILOT,
    SAI_FREEZE_ALL,
    SAI_FREEZE_GROUND,
    SAI_INTERCOM1_RECEIVING,
    SAI_INTERCOM2_RECEIVING,
    SAI_INTERCOM_PTT,
    SAI_INTERCOM_REQUEST_ID,
    SAI_RADIO_PTT,
    SAI_TAXIPATH,
    SAI_COM1_POSITION,
    SAI_COM2_POSITION,
    SAI_INTERCOM1_POSITION,
    SAI_INTERCOM2_POSITION,
    SAI_INTERCOM3_POSITION,
    SAI_FLIGHT_PHASE,
    SAI_MAX_DATAREFS
};

enum SAI_Positions {
    SAI_POSITION_UNKNOWN = 0,
    SAI_POSITION_CTAF = 1,
    SAI_POSITION_CLR = 2,
    SAI_POSITION_GROUND = 3,
    SAI_POSITION_TOWER = 4,
    SAI_POSITION_APP_DEP = 5,
    SAI_POSITION_ATIS = 6,
    SAI_POSITION_FSS = 7,
    SAI_POSITION_AFIS = 8,
    SAI_POSITION_FTS = 9,
    SAI_POSITION_RDO = 10,
    SAI_POSITION_RMP = 11,
    SAI_POSITION_RIGLOG = 12,
    SAI_POSITION_OPS = 13,
    SAI_POSITION_GUARD = 14,
    SAI_POSITION_SAFETYCOM = 15,
    SAI_POSITION_CTR = 16
};

extern const char* const saiDatarefStrings[SAI_MAX_DATAREFS];

class SayIntentions {
public:
    static SayIntentions* getInstance();
    static void release();

    bool isAvailable() const { return m_Available; }
    // Simulator thread, every frame.
    void updateValues();
    // Any thread: the values of the last frame.
    int getValue(int index) const;
    bool getPause() const;
    // The chatter radio's controller + 1, 0 when none.
    unsigned getController();

    std::atomic<bool> notified{false};
    std::atomic<unsigned> controller{0};
    std::atomic<bool> active{false};

private:
    SayIntentions();

    bool m_Available = false;
    XPLMDataRef m_DataRefs[SAI_MAX_DATAREFS] = {};
    std::atomic<int> m_Values[SAI_MAX_DATAREFS] = {};
};

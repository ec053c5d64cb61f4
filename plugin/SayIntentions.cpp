#include "SayIntentions.h"

#include <cmath>
#include <mutex>

#include "Controllers.h"
#include "Settings.h"

const char* const saiDatarefStrings[SAI_MAX_DATAREFS] = {
    "siai/atc_master_off",      "siai/audio_panel2_volume_set", "siai/cleared_for_landing",
    "siai/cleared_for_takeoff", "siai/com1_receiving",          "siai/com2_receiving",
    "siai/copilot",             "siai/freeze_all",              "siai/freeze_ground",
    "siai/intercom1_receiving", "siai/intercom2_receiving",     "siai/intercom_ptt",
    "siai/intercom_request_id", "siai/radio_ptt",               "siai/taxipath",
    "siai/com1_position",       "siai/com2_position",           "siai/intercom1_position",
    "siai/intercom2_position",  "siai/intercom3_position",      "siai/flight_phase"};

namespace {
std::mutex gInstanceMutex;
SayIntentions* gInstance = nullptr;
}  // namespace

SayIntentions* SayIntentions::getInstance() {
    std::lock_guard<std::mutex> lock(gInstanceMutex);
    if (!gInstance) gInstance = new SayIntentions();
    return gInstance;
}

void SayIntentions::release() {
    std::lock_guard<std::mutex> lock(gInstanceMutex);
    delete gInstance;
    gInstance = nullptr;
}

SayIntentions::SayIntentions() {
    for (int i = 0; i < SAI_MAX_DATAREFS; ++i) m_DataRefs[i] = XPLMFindDataRef(saiDatarefStrings[i]);
    m_Available = m_DataRefs[SAI_ATC_MASTER_OFF] != nullptr;
}

// Whatever type the add-on publishes a value with, it is read as a double.
static double readAnyType(XPLMDataRef ref) {
    const int types = XPLMGetDataRefTypes(ref);
    if (types & xplmType_Double) return XPLMGetDatad(ref);
    if (types & xplmType_Float) return XPLMGetDataf(ref);
    return XPLMGetDatai(ref);
}

void SayIntentions::updateValues() {
    if (!m_Available) return;
    for (int i = 0; i < SAI_MAX_DATAREFS; ++i)
        m_Values[i] = m_DataRefs[i] ? static_cast<int>(lround(readAnyType(m_DataRefs[i]))) : 0;
}

int SayIntentions::getValue(int index) const {
    return m_Available && index >= 0 && index < SAI_MAX_DATAREFS ? m_Values[index].load() : 0;
}

bool SayIntentions::getPause() const {
    return getValue(SAI_RADIO_PTT) == 1 || getValue(SAI_COM1_RECEIVING) == 1 || getValue(SAI_COM2_RECEIVING) == 1;
}

unsigned SayIntentions::getController() {
    const int position = getValue(gSettings.useCOM1 ? SAI_COM1_POSITION : SAI_COM2_POSITION);
    const bool arriving = getValue(SAI_FLIGHT_PHASE) > 2;
    int result;
    switch (position) {
        case SAI_POSITION_CTAF: result = arriving ? CONTROLLER_DEST_UNI : CONTROLLER_DEP_UNI; break;
        case SAI_POSITION_CLR: result = CONTROLLER_CLR; break;
        case SAI_POSITION_GROUND: result = arriving ? CONTROLLER_DEST_GND : CONTROLLER_DEP_GND; break;
        case SAI_POSITION_TOWER: result = arriving ? CONTROLLER_DEST_TWR : CONTROLLER_DEP_TWR; break;
        case SAI_POSITION_APP_DEP: result = arriving ? CONTROLLER_APP : CONTROLLER_DEP; break;
        case SAI_POSITION_CTR: result = CONTROLLER_CTR; break;
        default: result = -1; break;
    }
    controller = static_cast<unsigned>(result + 1);
    return controller;
}

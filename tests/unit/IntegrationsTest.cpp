#include <cstring>
#include <thread>

#include "Controllers.h"
#include "HostFixture.h"
#include "Integrations.h"
#include "SayIntentions.h"
#include "Settings.h"
#include "SimState.h"
#include "host/Xplm.h"

namespace {

class Integrations : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        gSettings = Settings();
        gSettings.enableExternalIntegrations = true;
        initSimState();
    }

    void TearDown() override {
        unregisterIntegrationDataRefs();
        SayIntentions::release();
        setTimeScale(1.0);
    }

    void start() {
        initIntegrations();
        registerIntegrationDataRefs();
    }

    static void writeText(const char* dataref, const std::string& text) {
        std::vector<char> bytes(text.begin(), text.end());
        bytes.push_back('\0');
        XPLMSetDatab(XPLMFindDataRef(dataref), bytes.data(), 0, static_cast<int>(bytes.size()));
    }

    static void setInt(const char* dataref, int value) { XPLMSetDatai(XPLMFindDataRef(dataref), value); }

    // Puts the aircraft `miles` NM north of where the flight started.
    static void flyNorth(double miles) {
        sim::setDataRef("sim/flightmodel/position/latitude", -1, {"42.0"});
        recordOrigin();
        sim::setDataRef("sim/flightmodel/position/latitude", -1, {std::to_string(42.0 + miles / 60.0)});
        sampleAircraftPosition();
    }
};

TEST_F(Integrations, WithoutAnAddOnTheModeIsWhatOthersWrite) {
    start();
    computeIntegrationMode();
    EXPECT_EQ(getIntegrationMode(), INTEGRATION_CONTROL_OFF);
    EXPECT_EQ(getIntegrationPrefix(), "Integration");
    setInt("Orvan/Quillon/integration/mode", INTEGRATION_PLAY_CONTROLLER_APP);
    computeIntegrationMode();
    EXPECT_EQ(getIntegrationMode(), INTEGRATION_PLAY_CONTROLLER_APP);
    EXPECT_EQ(XPLMGetDatai(XPLMFindDataRef("Orvan/Quillon/integration/mode")), INTEGRATION_PLAY_CONTROLLER_APP);

    setInt("Orvan/Quillon/external_pause", 1);
    EXPECT_TRUE(isExternalPauseSet());
    clearExternalPause();
    EXPECT_EQ(XPLMGetDatai(XPLMFindDataRef("Orvan/Quillon/external_pause")), 0);
}

TEST_F(Integrations, XLifeTextPausesForItsWords) {
    start();
    gSettings.xlifeMSPerWord = 500;
    setInt("Orvan/Quillon/xlife/pos_index", atcpos_DELIVERY);
    EXPECT_EQ(getIntegrationPrefix(), "X-Life");
    writeText("Orvan/Quillon/xlife/atc_text", "November one two three, cleared to Boston as filed, climb five thousand");
    setTimeScale(10);  // the 6 s pass in 0.6 s
    const int64_t start = getElapsedMilliSeconds();
    computeIntegrationMode();
    EXPECT_EQ(getIntegrationMode(), INTEGRATION_PAUSE);
    for (;;) {
        computeIntegrationMode();
        if (getElapsedMilliSeconds() - start >= 5900) break;
        ASSERT_EQ(getIntegrationMode(), INTEGRATION_PAUSE);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    computeIntegrationMode();  // notices the end
    computeIntegrationMode();
    EXPECT_EQ(getIntegrationMode(), INTEGRATION_PLAY_CONTROLLER_CLR);
}

TEST_F(Integrations, XLifePositionsAndTheDestination) {
    start();
    markAirportLoaded();
    writeText("Orvan/Quillon/xlife/icao_now", "KBOS");  // the first code after an airport load is the origin
    const struct {
        int position;
        const char* icao;
        int mode;
    } cases[] = {
        {atcpos_TOWER, "kbos", INTEGRATION_PLAY_CONTROLLER_DEP_TWR},
        {atcpos_TOWER, "KPVD", INTEGRATION_PLAY_CONTROLLER_DEST_TWR},
        {atcpos_GROUND, "KPVD", INTEGRATION_PLAY_CONTROLLER_DEST_GND},
        {atcpos_GROUND, "", INTEGRATION_PLAY_CONTROLLER_DEP_GND},
        {atcpos_ATIS, "KPVD", INTEGRATION_PAUSE},
        {atcpos_APPROACH, "KPVD", INTEGRATION_PLAY_CONTROLLER_APP},
        {atcpos_CENTER, "KPVD", INTEGRATION_PLAY_CONTROLLER_CTR},
        {atcpos_NON, "KPVD", INTEGRATION_CONTROL_OFF},
    };
    for (const auto& c : cases) {
        writeText("Orvan/Quillon/xlife/icao_now", c.icao);
        setInt("Orvan/Quillon/xlife/pos_index", c.position);
        computeIntegrationMode();
        EXPECT_EQ(getIntegrationMode(), c.mode) << c.position << " " << c.icao;
    }
}

TEST_F(Integrations, XLifeTextDataRefsStayInsideTheirSize) {
    start();
    XPLMDataRef icao = XPLMFindDataRef("Orvan/Quillon/xlife/icao_now");
    XPLMDataRef text = XPLMFindDataRef("Orvan/Quillon/xlife/atc_text");
    EXPECT_EQ(XPLMGetDatab(icao, nullptr, 0, 0), 5);
    EXPECT_EQ(XPLMGetDatab(text, nullptr, 0, 0), 500);
    char big[600];
    memset(big, 'x', sizeof big);
    XPLMSetDatab(icao, big, 3, 600);  // only two bytes fit
    char out[8] = {};
    EXPECT_EQ(XPLMGetDatab(icao, out, 0, 8), 5);
    EXPECT_EQ(std::string(out, 5), std::string("\0\0\0xx", 5));
    EXPECT_EQ(XPLMGetDatab(icao, out, 5, 8), 0);
    EXPECT_EQ(XPLMGetDatab(text, out, -1, 8), 0);
}

TEST_F(Integrations, The124thATCFollowsDistanceFromTheOrigin) {
    sim::defineDataRef("124thATC/radio_in_use", "int", 0, 0);
    sim::defineDataRef("124thATC/radio_facility_id", "int", 0, 2);
    start();
    flyNorth(3);
    computeIntegrationMode();
    EXPECT_EQ(getIntegrationMode(), INTEGRATION_PLAY_CONTROLLER_DEP_GND);
    EXPECT_EQ(getIntegrationPrefix(), "124th");
    flyNorth(30);
    computeIntegrationMode();
    EXPECT_EQ(getIntegrationMode(), INTEGRATION_PLAY_CONTROLLER_DEST_GND);
    const int facilities[][2] = {{0, INTEGRATION_PAUSE}, {1, INTEGRATION_PLAY_CONTROLLER_CLR},
                                 {3, INTEGRATION_PLAY_CONTROLLER_DEST_TWR}, {4, INTEGRATION_PLAY_CONTROLLER_DEP},
                                 {5, INTEGRATION_PLAY_CONTROLLER_CTR}, {6, INTEGRATION_PLAY_CONTROLLER_APP},
                                 {7, INTEGRATION_PAUSE}, {-3, INTEGRATION_PAUSE}};
    for (const auto& f : facilities) {
        sim::setDataRef("124thATC/radio_facility_id", -1, {std::to_string(f[0])});
        computeIntegrationMode();
        EXPECT_EQ(getIntegrationMode(), f[1]) << f[0];
    }
    sim::setDataRef("124thATC/radio_in_use", -1, {"1"});
    sim::setDataRef("124thATC/radio_facility_id", -1, {"5"});
    computeIntegrationMode();
    EXPECT_EQ(getIntegrationMode(), INTEGRATION_PAUSE);
}

TEST_F(Integrations, NextATCIsPreferredOver124thATC) {
    sim::defineDataRef("124thATC/radio_in_use", "int", 0, 1);
    sim::defineDataRef("NextATC/radio_in_use", "int", 0, 0);
    sim::defineDataRef("124thATC/radio_facility_id", "int", 0, 5);
    start();
    computeIntegrationMode();
    EXPECT_EQ(getIntegrationMode(), INTEGRATION_PLAY_CONTROLLER_CTR);  // 124th's radio in use is not watched
    EXPECT_EQ(getIntegrationPrefix(), "NextATC");
}

TEST_F(Integrations, SayIntentionsControllerByPositionAndPhase) {
    EXPECT_FALSE(SayIntentions::getInstance()->isAvailable());
    EXPECT_EQ(SayIntentions::getInstance()->getController(), 0u);
    SayIntentions::release();
    // An add-on may publish floats: values are rounded.
    sim::defineDataRef("siai/atc_master_off", "int", 0, 0);
    sim::defineDataRef("siai/com1_position", "float", 0, 3.6);
    sim::defineDataRef("siai/flight_phase", "double", 0, 3);
    sim::defineDataRef("siai/com2_receiving", "int", 0, 0);
    SayIntentions* sai = SayIntentions::getInstance();
    ASSERT_TRUE(sai->isAvailable());
    sai->updateValues();
    EXPECT_EQ(sai->getController(), static_cast<unsigned>(CONTROLLER_DEST_TWR + 1));
    sim::setDataRef("siai/flight_phase", -1, {"2"});
    sai->updateValues();
    EXPECT_EQ(sai->getController(), static_cast<unsigned>(CONTROLLER_DEP_TWR + 1));
    gSettings.useCOM1 = false;  // COM2's position is unknown
    EXPECT_EQ(sai->getController(), 0u);
    EXPECT_FALSE(sai->getPause());
    sim::setDataRef("siai/com2_receiving", -1, {"1"});
    sai->updateValues();
    EXPECT_TRUE(sai->getPause());
}

}  // namespace

// Which controller is heard and when chatter pauses: the facility evaluation
// and the scheduler's pause reasons, rule by rule.
#include <functional>

#include "Controllers.h"
#include "FacilityEvaluation.h"
#include "HostFixture.h"
#include "Integrations.h"
#include "SayIntentions.h"
#include "Scheduler.h"
#include "Settings.h"
#include "SimState.h"
#include "host/Xplm.h"
#include "nav/Airport.h"
#include "nav/Facility.h"

namespace {

class ChatterRules : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        gSettings = Settings();
        gSettings.automaticControllers = true;
        initSimState();
        initIntegrations();
        registerIntegrationDataRefs();
        cAirport::removeAllAirports();
        // KAAA at 42 N 71 W; its ground is also heard from KBBB 10 NM east.
        addAirport("KAAA", 42, -71,
                   {{135000, "Atis", "A ATIS"}, {121650, "Clr", "A CLEARANCE"}, {121900, "Gnd", "A GROUND"},
                    {118700, "Twr", "A TOWER"}, {124400, "App", "A APPROACH"}, {133000, "Dep", "A DEPARTURE"},
                    {122800, "Unicom", "A CTAF"}});
        addAirport("KCTR", 42.5, -71.5, {{128200, "Ctr", "BOSTON CENTER"}});
        indexFacilities();
        setActiveController(CONTROLLER_APP);
        place(42, -71);
        recordOrigin();
        place(42, -71);
    }

    void TearDown() override {
        unregisterIntegrationDataRefs();
        SayIntentions::release();
        clearFacilities();
        cAirport::removeAllAirports();
    }

    static void addAirport(const std::string& ident, double lat, double lon, std::vector<cFrequency> frequencies) {
        cAirport airport;
        airport.icaoCode = ident;
        airport.latitude = lat;
        airport.longtitude = lon;
        airport.frequencies = std::move(frequencies);
        cAirport::addAirport(airport, false);
    }

    static void set(const std::string& name, const std::string& value) {
        std::string base;
        int index;
        sim::parseDataRefName(name, base, index);
        sim::setDataRef(base, index, {value});
    }

    // Puts the aircraft at a position and height, as the flight loop samples it.
    static void place(double lat, double lon, double aglFeet = 0) {
        set("sim/flightmodel/position/latitude", std::to_string(lat));
        set("sim/flightmodel/position/longitude", std::to_string(lon));
        set("sim/flightmodel/position/y_agl", std::to_string(aglFeet / 3.28084));
        sampleAircraftPosition();
        sampleSimulatorFlags();
        updateRadioPower();
    }

    static void tune(int com1, int com2 = 135000) {
        set("sim/cockpit2/radios/actuators/com1_frequency_hz_833", std::to_string(com1));
        set("sim/cockpit2/radios/actuators/com2_frequency_hz_833", std::to_string(com2));
        updateComs();
    }
};

TEST_F(ChatterRules, RadioRangeGrowsWithHeight) {
    const double cases[][2] = {{0, 40}, {1000, 40}, {1001, 90}, {5000, 90}, {5001, 120}, {10000, 120}, {10001, 200}};
    for (const auto& c : cases) {
        place(42, -71, c[0] + 0.01);  // the dataref holds float metres: keep clear of its rounding
        EXPECT_EQ(getRadioRange(), static_cast<int>(c[1])) << c[0];
    }
}

TEST_F(ChatterRules, NearestFacilityChoosesTheController) {
    const struct {
        int frequency;
        double milesFromOrigin;
        int controller;
        const char* caption;
    } cases[] = {
        {121900, 9.9, CONTROLLER_DEP_GND, "KAAA GROUND A GROUND"},
        {121900, 10.0, CONTROLLER_DEST_GND, "KAAA GROUND A GROUND"},
        {118700, 0, CONTROLLER_DEP_TWR, "KAAA TOWER A TOWER"},
        {118700, 20, CONTROLLER_DEST_TWR, "KAAA TOWER A TOWER"},
        {121650, 0, CONTROLLER_CLR, "KAAA CLEARANCE A CLEARANCE"},
        {124400, 0, CONTROLLER_APP, "KAAA APPROACH A APPROACH"},
        {133000, 30, CONTROLLER_DEP, "KAAA DEPARTURE A DEPARTURE"},
        {122800, 0, CONTROLLER_DEP_UNI, "KAAA CTAF A CTAF"},
        {122800, 12, CONTROLLER_DEST_UNI, "KAAA CTAF A CTAF"},
        {128200, 0, CONTROLLER_CTR, "KCTR CENTER BOSTON CENTER"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption + std::string(" at ") + std::to_string(c.milesFromOrigin));
        setActiveController(CONTROLLER_APP);
        // East of the origin along the parallel; the facilities stay within range.
        place(42, -71 + c.milesFromOrigin / distanceLatLon(42, -71, 42, -70, 'N'));
        tune(c.frequency);
        evaluateFacility();
        EXPECT_FALSE(isAutomaticPause());
        EXPECT_EQ(getActiveController(), c.controller);
        EXPECT_EQ(getFacilityCaption(), c.caption);
    }
}

TEST_F(ChatterRules, AutomaticPauses) {
    tune(120000);  // nobody there
    evaluateFacility();
    EXPECT_TRUE(isAutomaticPause());
    EXPECT_EQ(getFacilityCaption(), "Out of Range (40 NM) - Chatter Paused");
    tune(140000);  // off the band
    evaluateFacility();
    EXPECT_EQ(getFacilityCaption(), "Out of Range (40 NM) - Chatter Paused");
    tune(135000);
    evaluateFacility();
    EXPECT_TRUE(isAutomaticPause());
    EXPECT_EQ(getFacilityCaption(), "KAAA ATIS - Chatter Paused");

    // Any monitored ATIS pauses the tower on COM1.
    tune(118700, 135000);
    set("sim/cockpit2/radios/actuators/audio_selection_com2", "1");
    updateComs();
    evaluateFacility();
    EXPECT_FALSE(isAutomaticPause());
    gSettings.pauseOnAnyAtis = true;
    EXPECT_TRUE(checkForAtisOnOtherRadio());
    evaluateFacility();
    EXPECT_TRUE(isAutomaticPause());
    EXPECT_EQ(getFacilityCaption(), "KAAA ATIS - Chatter Paused");
    EXPECT_EQ(getTunedFacility()->freq, 118700);
}

TEST_F(ChatterRules, ManualControllersOnlyYieldToOverridesAndAddOns) {
    gSettings.automaticControllers = false;
    setActiveController(CONTROLLER_APP);
    tune(118700);
    evaluateFacility();
    EXPECT_EQ(getActiveController(), CONTROLLER_APP);
    EXPECT_EQ(getFacilityCaption(), "");
    EXPECT_FALSE(isAutomaticPause());

    // The center override from COM2, monitored, while COM1 is the chatter radio.
    gSettings.enableCenterOverride = true;
    tune(118700, 123275);
    set("sim/cockpit2/radios/actuators/audio_selection_com2", "1");
    updateComs();
    evaluateFacility();
    EXPECT_EQ(getActiveController(), CONTROLLER_CTR);
    EXPECT_EQ(getFacilityCaption(), "OVERRIDE CENTER");

    // An integration mode wins over everything.
    gSettings.enableExternalIntegrations = true;
    for (int mode = INTEGRATION_PLAY_CONTROLLER_CLR; mode <= INTEGRATION_PLAY_CONTROLLER_DEST_UNI; ++mode) {
        XPLMSetDatai(XPLMFindDataRef("Orvan/Quillon/integration/mode"), mode);
        evaluateFacility();
        EXPECT_EQ(getActiveController(), mode - 2);
        EXPECT_EQ(getFacilityCaption(), std::string("Integration ") + controllerNames[mode - 2]);
    }
}

TEST_F(ChatterRules, XPlaneATCTellsWhatIsTuned) {
    gSettings.useXPlaneATC = true;
    gSettings.automaticControllers = false;  // X-Plane's ATC decides anyway
    tune(118700);
    const struct {
        int facility;
        double miles;
        int controller;
        const char* caption;
        bool pause;
    } cases[] = {
        {0, 0, CONTROLLER_APP, "No Tuned Facility on COM1", true},
        {1, 0, CONTROLLER_CLR, "CLEARANCE", false},
        {2, 0, CONTROLLER_DEP_GND, "GROUND", false},
        {2, 12, CONTROLLER_DEST_GND, "GROUND", false},
        {3, 0, CONTROLLER_DEP_TWR, "TOWER", false},
        {4, 0, CONTROLLER_DEP, "DEPARTURE", false},
        {4, 12, CONTROLLER_APP, "APPROACH", false},
        {5, 0, CONTROLLER_CTR, "CENTER", false},
        {9, 0, CONTROLLER_CTR, "Unknown Facility Type", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        setActiveController(c.facility == 0 ? CONTROLLER_APP : getActiveController());
        place(42, -71 + c.miles / distanceLatLon(42, -71, 42, -70, 'N'));
        set("sim/atc/com1_tuned_facility", std::to_string(c.facility));
        updateXPlaneATC();
        evaluateFacility();
        EXPECT_EQ(isAutomaticPause(), c.pause);
        EXPECT_EQ(getActiveController(), c.controller);
        EXPECT_EQ(getFacilityCaption(), c.caption);
    }
}

TEST_F(ChatterRules, SayIntentionsChoosesItsController) {
    for (int i = 0; i < SAI_MAX_DATAREFS; ++i) sim::defineDataRef(saiDatarefStrings[i], "int", 0, 0);
    SayIntentions::release();
    gSettings.useSayIntentions = true;
    set("siai/com1_position", "4");
    const struct {
        int phase;
        const char* caption;
    } cases[] = {{2, "SayIntentions.AI Dep_Twr"}, {3, "SayIntentions.AI Dest_Twr"}};
    for (const auto& c : cases) {
        set("siai/flight_phase", std::to_string(c.phase));
        SayIntentions::getInstance()->updateValues();
        evaluateFacility();
        EXPECT_EQ(getFacilityCaption(), c.caption);
    }
    set("siai/com1_position", "0");
    SayIntentions::getInstance()->updateValues();
    evaluateFacility();
    EXPECT_EQ(getFacilityCaption(), "SayIntentions.AI Dest_Twr");  // nothing reported: nothing changes
    EXPECT_FALSE(canPlay());
    EXPECT_EQ(getFacilityCaption(), "SayIntentions.AI No Controller");
    set("siai/com1_position", "4");
    set("siai/com1_receiving", "1");
    SayIntentions::getInstance()->updateValues();
    EXPECT_FALSE(canPlay());
    EXPECT_EQ(getFacilityCaption(), "SayIntentions.AI Pause");
}

TEST_F(ChatterRules, PauseReasonsAndTheirCaptions) {
    tune(118700);
    evaluateFacility();
    ASSERT_TRUE(canPlay());
    const struct {
        const char* name;
        std::function<void()> apply;
        const char* caption;  // null: the caption stays
    } cases[] = {
        {"playback off", [] { gSettings.playChatter = false; }, nullptr},
        {"external pause", [] { XPLMSetDatai(XPLMFindDataRef("Orvan/Quillon/external_pause"), 1); },
         "External Pause Dataref is Set"},
        {"no radio power",
         [] {
             gSettings.radioPower = true;
             set("sim/cockpit2/electrical/bus_volts[0]", "0");
             updateRadioPower();
         },
         "No Radio Power - Paused"},
        {"not monitored",
         [] {
             gSettings.useAudioPanel = true;
             set("sim/cockpit2/radios/actuators/audio_selection_com1", "0");
             updateComs();
         },
         "Radio not Monitored - Paused"},
        {"simulator paused",
         [] {
             set("sim/time/paused", "1");
             sampleSimulatorFlags();
         },
         nullptr},
        {"outside view",
         [] {
             gSettings.interiorOnlySound = true;
             set("sim/graphics/view/view_is_external", "1");
             sampleSimulatorFlags();
         },
         "External Camera Pause"},
        {"integration off", [] { gSettings.enableExternalIntegrations = true; }, "Integration ATC Off"},
        {"integration pause",
         [] {
             gSettings.enableExternalIntegrations = true;
             XPLMSetDatai(XPLMFindDataRef("Orvan/Quillon/integration/mode"), INTEGRATION_PAUSE);
         },
         "Integration Pause"},
        {"X-Plane ATC talking",
         [] {
             gSettings.useXPlaneATC = true;
             set("sim/atc/com1_active", "1");
             set("sim/atc/com1_tuned_facility", "3");
             updateXPlaneATC();
         },
         "Pause for ATC Transmission"},
        {"X-Plane ATC without a facility", [] { gSettings.useXPlaneATC = true; updateXPlaneATC(); },
         "No Facility Tuned On COM1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        tune(118700);
        evaluateFacility();
        const std::string before = getFacilityCaption();
        c.apply();
        EXPECT_FALSE(canPlay());
        EXPECT_FALSE(getStateOfPlay().play);
        EXPECT_EQ(getFacilityCaption(), c.caption ? c.caption : before);
        EXPECT_EQ(getStateOfPlay().status, getFacilityCaption());
        TearDown();
    }
}

TEST_F(ChatterRules, XLifeTextPausesChatterWithItsCaption) {
    gSettings.enableExternalIntegrations = true;
    XPLMSetDatai(XPLMFindDataRef("Orvan/Quillon/xlife/pos_index"), atcpos_TOWER);
    std::string text = "one two three four five six seven eight nine ten eleven twelve";
    XPLMSetDatab(XPLMFindDataRef("Orvan/Quillon/xlife/atc_text"), text.data(), 0, static_cast<int>(text.size() + 1));
    computeIntegrationMode();
    EXPECT_FALSE(canPlay());
    EXPECT_EQ(getFacilityCaption(), "X-Life Pause");
}

TEST_F(ChatterRules, PauseLengths) {
    gSettings.minDelay = 5;
    gSettings.maxDelay = 5;
    EXPECT_EQ(getPauseLength(false), 50);
    gSettings.minDelay = 2;
    gSettings.maxDelay = 4;
    EXPECT_EQ(getPauseLength(true), 40);
    for (int i = 0; i < 50; ++i) {
        const int ticks = getPauseLength(false);
        EXPECT_TRUE(ticks == 20 || ticks == 30 || ticks == 40) << ticks;
    }
}

}  // namespace

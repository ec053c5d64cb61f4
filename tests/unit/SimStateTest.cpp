#include "HostFixture.h"
#include "Quillon.h"
#include "Settings.h"
#include "SimState.h"
#include "host/Xplm.h"

namespace {

class SimState : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        gSettings = Settings();
        initSimState();
    }

    void useXPlane11() {
        sim::Sim::get().flags["xp11"] = "1";
        sim::clearDataRefs();
        sim::createPresetDataRefs();
        initSimState();
    }

    static void set(const std::string& name, std::vector<std::string> values) {
        std::string base;
        int index;
        sim::parseDataRefName(name, base, index);
        sim::setDataRef(base, index, values);
    }

    // Ten wind layers of X-Plane 12: altitudes in metres, speeds in metres per second.
    static void layers(const std::vector<float>& altitudes, const std::vector<float>& speeds,
                       const std::vector<float>& directions, const std::vector<float>& shears) {
        auto texts = [](const std::vector<float>& values) {
            std::vector<std::string> out;
            for (float v : values) out.push_back(std::to_string(v));
            return out;
        };
        set("sim/weather/region/wind_altitude_msl_m", texts(altitudes));
        set("sim/weather/region/wind_speed_msc", texts(speeds));
        set("sim/weather/region/wind_direction_degt", texts(directions));
        set("sim/weather/region/shear_speed_msc", texts(shears));
    }
};

TEST_F(SimState, WindLayersOfXPlane12) {
    ASSERT_TRUE(hasNewWeather());
    set("sim/flightmodel/position/magnetic_variation", {"15"});
    // 3000 ft is 914.4 m; unused slots carry a negative speed.
    layers({300, 914.4f, 1500, 3000, 0, 0, 0, 0, 0, 0}, {5, 10, 15, 20, -1, -1, -1, -1, -1, -1},
           {200, 345, 260, 270, 0, 0, 0, 0, 0, 0}, {1, 2, 3, 4, 0, 0, 0, 0, 0, 0});

    const struct {
        float altitude;
        float direction, speed, shear;
    } cases[] = {
        {3000, 360, 19, 4},   // exactly at the layer of slot 1; 345 + 15 = 360, never 0
        {2999, 360, 19, 4},   // the nearest layer at or above
        {500, 215, 10, 2},    // slot 0 at 984 ft
        {4000, 275, 29, 6},   // slot 2 at 4921 ft
        {-100, 215, 10, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.altitude);
        Wind wind = getWind(c.altitude, false);
        EXPECT_FLOAT_EQ(wind.directionMagnetic, c.direction);
        EXPECT_FLOAT_EQ(wind.speedKnots, c.speed);
        EXPECT_FLOAT_EQ(wind.windSheer, c.shear);
    }
}

TEST_F(SimState, WindAtTheAircraftAndAboveEveryLayer) {
    set("sim/flightmodel/position/mag_psi", {"90"});
    set("sim/weather/view/wind_relative_heading_deg", {"60"});
    set("sim/weather/view/wind_base_speed_kts", {"12"});
    set("sim/weather/view/wind_gust_kts", {"18"});
    layers({300, 600, 0, 0, 0, 0, 0, 0, 0, 0}, {5, 5, -1, -1, -1, -1, -1, -1, -1, -1}, {10, 20, 0, 0, 0, 0, 0, 0, 0, 0},
           {0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    for (bool atAircraft : {true, false}) {
        SCOPED_TRACE(atAircraft);
        Wind wind = getWind(atAircraft ? 0.0f : 10000.0f, atAircraft);
        EXPECT_FLOAT_EQ(wind.speedKnots, 12);
        EXPECT_FLOAT_EQ(wind.windSheer, 18);
        EXPECT_FLOAT_EQ(wind.directionMagnetic, 330);  // 90 + 60 - 180, normalised
    }
    // Equal distance to two layers: the lower slot wins.
    layers({600, 600, 0, 0, 0, 0, 0, 0, 0, 0}, {5, 10, -1, -1, -1, -1, -1, -1, -1, -1},
           {100, 200, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    set("sim/flightmodel/position/magnetic_variation", {"0"});
    EXPECT_FLOAT_EQ(getWind(1000, false).directionMagnetic, 100);
}

TEST_F(SimState, WindLayersOfXPlane11) {
    useXPlane11();
    ASSERT_FALSE(hasNewWeather());
    set("sim/flightmodel/position/magnetic_variation", {"-10"});
    set("sim/weather/wind_altitude_msl_m[0]", {"914.4"});
    set("sim/weather/wind_altitude_msl_m[1]", {"3000"});
    set("sim/weather/wind_direction_degt[0]", {"10"});
    set("sim/weather/wind_direction_degt[1]", {"100"});
    set("sim/weather/wind_direction_degt[2]", {"5"});
    set("sim/weather/wind_speed_kt[0]", {"7.5"});
    set("sim/weather/shear_speed_kt[2]", {"3"});
    Wind low = getWind(3000, true);  // at the aircraft is ignored here
    EXPECT_FLOAT_EQ(low.directionMagnetic, 360);
    EXPECT_FLOAT_EQ(low.speedKnots, 7.5f);
    EXPECT_FLOAT_EQ(getWind(3001, false).directionMagnetic, 90);
    Wind high = getWind(20000, false);
    EXPECT_FLOAT_EQ(high.directionMagnetic, 355);
    EXPECT_FLOAT_EQ(high.windSheer, 3);
    set("sim/weather/barometer_sealevel_inhg", {"30.12"});
    EXPECT_NEAR(getBarometricPressure(), 30.12f, 1e-4);
}

TEST_F(SimState, UnitsOfTheSamples) {
    set("sim/flightmodel/position/latitude", {"42.5"});
    set("sim/flightmodel/position/longitude", {"-71.25"});
    set("sim/flightmodel/position/elevation", {"1000"});
    set("sim/flightmodel/position/y_agl", {"100"});
    set("sim/flightmodel/failures/onground_any", {"0"});
    set("sim/flightmodel/position/groundspeed", {"10"});
    set("sim/flightmodel/position/indicated_airspeed", {"99.9"});
    set("sim/aircraft/weight/acf_m_max", {"1000"});
    set("sim/weather/region/sealevel_pressure_pas", {"101325"});
    set("sim/flightmodel/controls/parkbrake", {"0.89"});
    sampleAircraftPosition();
    double latitude, longitude, elevation;
    getLocation(latitude, longitude, &elevation);
    EXPECT_DOUBLE_EQ(latitude, 42.5);
    EXPECT_DOUBLE_EQ(longitude, -71.25);
    EXPECT_NEAR(elevation, 3280.83992, 1e-6);
    EXPECT_NEAR(getAGL(), 328.084, 1e-3);
    EXPECT_FALSE(isOnGround());
    EXPECT_NEAR(getGroundSpeed(), 19.4384, 1e-4);
    EXPECT_EQ(getIAS(), 99);
    EXPECT_NEAR(getAircraftMaxWeight(), 2205, 1e-3);
    EXPECT_NEAR(getBarometricPressure(), 29.92, 1e-3);
    EXPECT_FALSE(isParkingBrakeOn());
    EXPECT_FLOAT_EQ(trueToMagnetic(350), 4.5f);  // Boston: 14.5 west
}

TEST_F(SimState, ChatterRadioFollowsTheSetting) {
    gSettings.useCOM1 = false;
    gSettings.useCOM2 = true;
    setCom(123275);
    EXPECT_EQ(getCurrentFrequency(), 123275);
    EXPECT_EQ(sim::getDataRefText("sim/cockpit2/radios/actuators/com2_frequency_hz_833", -1), "123275");
    EXPECT_EQ(sim::getDataRefText("sim/cockpit2/radios/actuators/com1_frequency_hz_833", -1), "121900");
    EXPECT_FALSE(isRadioMonitored());  // COM2 is not selected on the audio panel
    set("sim/cockpit2/radios/actuators/audio_selection_com2", {"1"});
    updateComs();
    EXPECT_TRUE(isRadioMonitored());
}

TEST_F(SimState, RadioPowerNeedsBusAvionicsAndARadio) {
    const struct {
        const char* volts;
        const char* avionics;
        const char* com1;
        const char* com2;
        bool on;
    } cases[] = {{"28", "1", "1", "0", true}, {"28", "1", "0", "1", true}, {"28", "1", "0", "0", false},
                 {"1.0", "1", "1", "1", false}, {"28", "0", "1", "1", false}};
    for (const auto& c : cases) {
        set("sim/cockpit2/electrical/bus_volts[0]", {c.volts});
        set("sim/cockpit2/switches/avionics_power_on", {c.avionics});
        set("sim/cockpit2/radios/actuators/com1_power", {c.com1});
        set("sim/cockpit2/radios/actuators/com2_power", {c.com2});
        updateRadioPower();
        EXPECT_EQ(isRadioOn(), c.on) << c.volts << " " << c.avionics << " " << c.com1 << " " << c.com2;
        gSettings.radioPower = false;
        EXPECT_TRUE(isRadioReady());  // the dark aircraft does not matter unless asked
        gSettings.radioPower = true;
        EXPECT_EQ(isRadioReady(), c.on);
    }
}

TEST_F(SimState, TransponderAndAutopilot) {
    EXPECT_FALSE(isTransponderOn());
    turnOnTransponder();
    EXPECT_TRUE(isTransponderOn());
    setXPDRCode(4521);
    EXPECT_EQ(getXPDRCode(), 4521);
    EXPECT_FLOAT_EQ(getAutoPilotAltitude(), 3000);
    setAltitudeChangeRequest(true, 7000);
    EXPECT_FLOAT_EQ(getAutoPilotAltitude(), 7000);
    setAltitudeChangeRequest(true, -5);
    EXPECT_EQ(getAltitudeChangeRequest(), 0);
    setAltitudeChangeRequest(false, 0);
    EXPECT_FLOAT_EQ(getAutoPilotAltitude(), 3000);
}

// The flight loop samples in the frame a value changes; message 102 makes
// the position the origin and withdraws an altitude request.
TEST_F(SimState, FlightLoopSamplesEveryFrame) {
    char name[256], signature[256], description[256];
    ASSERT_EQ(XPluginStart(name, signature, description), 1);
    runFrames(1);
    set("sim/cockpit2/radios/actuators/com1_frequency_hz_833", {"118250"});
    set("sim/flightmodel/position/latitude", {"43.0"});
    set("sim/time/paused", {"1"});
    runFrames(1);
    EXPECT_EQ(getCurrentFrequency(), 118250);
    double latitude, longitude;
    getLocation(latitude, longitude);
    EXPECT_DOUBLE_EQ(latitude, 43.0);
    EXPECT_TRUE(isSimPaused());

    setAltitudeChangeRequest(true, 9000);
    XPluginReceiveMessage(0, XPLM_MSG_PLANE_LOADED, reinterpret_cast<void*>(1));  // not the user's aircraft
    EXPECT_TRUE(isAltitudeChangeRequested());
    XPluginReceiveMessage(0, XPLM_MSG_PLANE_LOADED, nullptr);
    EXPECT_FALSE(isAltitudeChangeRequested());
    double originLatitude, originLongitude;
    getOrigin(originLatitude, originLongitude);
    EXPECT_DOUBLE_EQ(originLatitude, 43.0);
    XPluginStop();
}

}  // namespace

// Unit tests run plug-in code against the stand-in simulator in-process:
// each test gets a fresh simulator folder, dataref table and log.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DataRefs.h"
#include "Sim.h"
#include "common/Common.h"

class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        for (char& c : name)
            if (c == '/') c = '_';
        simFolder = ::testing::TempDir() + "quillon-unit/" + name + "/X-Plane 12/";
        std::filesystem::remove_all(simFolder);
        pluginFolder = simFolder + "Resources/plugins/Quillon/";
        std::filesystem::create_directories(pluginFolder + "lin_x64");
        sim::Sim& host = sim::Sim::get();
        host.simFolder = simFolder;
        host.outputFolder = simFolder + "Output/";
        host.pluginPath = pluginFolder + "lin_x64/Quillon.xpl";
        host.log.clear();
        host.flags.clear();
        sim::clearFlightLoops();
        sim::resetSoundBus();
        sim::clearDataRefs();
        sim::createPresetDataRefs();
        initCommon("Quillon");
    }

    // Runs whole simulator frames: steps, flight loops, sound.
    static void runFrames(int count) {
        sim::Sim& host = sim::Sim::get();
        for (int i = 0; i < count; ++i) {
            sim::runFrame();
            ++host.frame;
            host.simTime = static_cast<double>(host.frame) / host.frameRate;
        }
    }

    // Offers the simulator's sound bus, or hides it as an older simulator
    // does, to the sound output started from now on.
    static void useSoundBus(bool on) {
        static const char* const busFunctions[] = {"XPLMPlayPCMOnBus",         "XPLMStopAudio",
                                                   "XPLMSetAudioPosition",     "XPLMSetAudioFadeDistance",
                                                   "XPLMSetAudioVolume",       "XPLMSetAudioCone"};
        sim::Sim& host = sim::Sim::get();
        if (on)
            host.flags.erase("no-sound-bus");
        else
            host.flags["no-sound-bus"] = "1";
        for (const char* name : busFunctions) sim::removeSymbol(name);
        sim::runStartHooks();
    }

    // Log lines without their time stamp and prefix.
    std::vector<std::string> logMessages() const {
        std::vector<std::string> messages;
        for (const auto& line : sim::Sim::get().log) {
            size_t colon = line.text.find(": ");
            messages.push_back(colon == std::string::npos ? line.text : line.text.substr(colon + 2));
        }
        return messages;
    }

    bool logged(const std::string& message) const {
        for (const auto& text : logMessages())
            if (text == message) return true;
        return false;
    }

    std::string simFolder;
    std::string pluginFolder;
};

// Clip library tests: a plug-in folder with clip files and CSV tables written
// by the test, and a clip library of the test's own.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "HostFixture.h"
#include "audio/Clips.h"
#include "common/Files.h"

class ClipTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        clips = std::make_unique<ClipManager>();
    }

    // Writes a file below the plug-in folder.
    void writePluginFile(const std::string& relative, const std::string& content = "") {
        const std::string path = pluginFolder + relative;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }

    // Clip files named `names` in a region's (or a user folder's) controller folder.
    void addClips(const std::string& collectionFolder, const std::string& controller,
                  const std::vector<std::string>& names) {
        for (const auto& name : names) writePluginFile(collectionFolder + "/Controllers/" + controller + "/" + name);
    }

    std::string readPluginFile(const std::string& relative) const {
        std::string text;
        readTextFile(pluginFolder + relative, text);
        return text;
    }

    // File names of a clip list, in order.
    static std::vector<std::string> names(const ClipSet& set) {
        std::vector<std::string> result;
        for (const Clip& clip : set.m_Clips) result.push_back(clip.getFileName());
        return result;
    }

    // A log line beginning with `start` (the reader's own wording follows).
    bool loggedStart(const std::string& start) const {
        for (const auto& text : logMessages())
            if (text.compare(0, start.size(), start) == 0) return true;
        return false;
    }

    ClipCollections& type(const char* name) { return clips->m_ClipsCollectionTypes.m_ClipCollections[name]; }
    ControllerSet& collection(const char* typeName, const std::string& name) {
        return type(typeName).m_ControllerSets[name];
    }

    std::unique_ptr<ClipManager> clips;
};

// Country and airport tags of the region clips: Regions/ClipTags.csv, made
// from the tag editor's export (mp3tag.csv) and the facility-name table
// (default_geo.csv), and the "Countries" and "ICAO" collections built from it.
#include <algorithm>

#include "audio/Clips.h"
#include "common/Common.h"
#include "common/Csv.h"
#include "common/Files.h"
#include "nav/Airport.h"
#include "nav/RegionMap.h"

namespace {

// The country of a clip recorded at `ident`, by the tag rules: the airport's
// country, then the region named in the key, then a facility name in the artist text.
std::string tagCountry(const std::string& ident, const std::string& key, const std::string& artist,
                       const CsvTable& geo) {
    std::string country;
    if (ident.size() >= 4) {
        if (const cAirport* airport = cAirport::getAirport(ident)) {
            country = RegionMapManager::getInstance()->findCountry(ident);
            if (country.empty()) country = airport->country;
        }
    }
    if (country.empty()) {
        if (key.find("United States") != std::string::npos)
            country = "United States";
        else if (key.find("Canada") != std::string::npos)
            country = "Canada";
    }
    if (country.empty() && !artist.empty()) {
        for (const auto& row : geo.rows) {
            // An empty fragment would occur in every text and claim every clip.
            if (!row[0].empty() && artist.find(row[0]) != std::string::npos) {
                country = row[1];
                break;
            }
        }
    }
    return country;
}

}  // namespace

void ClipManager::generateTags() {
    const std::string sourcePath = makePluginFileName("Regions/mp3tag.csv");
    if (!fileExists(sourcePath)) return;
    CsvTable source;
    const bool sourceRead = readCsvFile(sourcePath, '*', {"Artist", "Path", "Filename"}, source);

    const std::string geoPath = makePluginFileName("Regions/default_geo.csv");
    if (!fileExists(geoPath)) {
        sLogMsg("ERROR: %s is missing. Unable to generate clip tags", geoPath.c_str());
        return;
    }
    CsvTable geo;
    const bool geoRead = readCsvFile(geoPath, ',', {"Facility Name", "Country"}, geo);
    if (!sourceRead || !geoRead || source.rows.empty()) return;

    std::string text = "Path,Country,ICAO,Artist\n";
    for (const auto& row : source.rows) {
        std::string artist = row[0];
        std::replace(artist.begin(), artist.end(), ',', ' ');
        static const std::string regionsFolder = "\\Regions\\";
        const size_t found = row[1].find(regionsFolder);
        if (found == std::string::npos) continue;
        const std::string key = row[1].substr(found + regionsFolder.size()) + row[2];
        const std::vector<std::string> words = splitOnWhitespace(artist);
        std::string ident = words.empty() ? std::string() : words[0];
        if (ident.size() > 4) ident.resize(4);
        text += key + "," + tagCountry(ident, key, artist, geo) + "," + ident + "," + artist + "\n";
    }
    const std::string tagsPath = makePluginFileName("Regions/ClipTags.csv");
    if (!writeFileAtomically(tagsPath, text)) sLogMsg("ERROR: unable to create %s", tagsPath.c_str());
}

void ClipManager::tagClips() {
    generateTags();
    const std::string path = makePluginFileName("Regions/ClipTags.csv");
    if (!fileExists(path)) {
        sLogMsg("ERROR: %s is missing.", path.c_str());
        return;
    }
    CsvTable table;
    const bool ok = readCsvFile(path, ',', {"Path", "Country", "ICAO"}, table);
    if (!ok) return;
    clipsTags.clear();
    for (const auto& row : table.rows) clipsTags.emplace(row[0], ClipTag{row[1], row[2]});

    ClipCollections countries;
    ClipCollections idents;
    int count = 0;
    for (const Clip& clip : m_allClips.m_Clips) {
        const auto tag = clipsTags.find(tagKey(clip));
        if (tag == clipsTags.end()) continue;
        ++count;
        if (!tag->second.country.empty())
            countries.m_ControllerSets[tag->second.country].m_Controllers[clip.controller].m_Clips.push_back(clip);
        if (!tag->second.icao.empty())
            idents.m_ControllerSets[tag->second.icao].m_Controllers[clip.controller].m_Clips.push_back(clip);
    }
    auto& types = m_ClipsCollectionTypes.m_ClipCollections;
    if (!countries.m_ControllerSets.empty()) types[CLIP_TYPE_COUNTRIES] = std::move(countries);
    if (!idents.m_ControllerSets.empty()) types[CLIP_TYPE_ICAO] = std::move(idents);
    sLogMsg("Found %d Clip Tags", count);
}

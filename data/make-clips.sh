#!/usr/bin/env bash
# Generates the demo chatter clip collection into a plug-in folder:
#   Regions/REGION/Controllers/CONTROLLER/*.mp3|*.wav, Regions/mp3tag.csv,
#   Regions/default_geo.csv and one UserDefined/ collection.
# Speech by espeak-ng, radio sound by sox (band-pass, compression, noise),
# MP3 by lame; the phraseology is the table below.
#
#   make-clips.sh PLUGIN_FOLDER
set -euo pipefail

OUT="${1:?usage: make-clips.sh PLUGIN_FOLDER}"
RATE_MP3=16000
RATE_WAV=11025
JOBS="$(nproc 2>/dev/null || echo 2)"

# One clip per line:
# folder | controller | artist (ident and facility) | voice | words/min | pitch | format | text
# The folder is a region (Regions/...) or the user collection (UserDefined/...).
CLIPS=$(cat <<'TABLE'
Regions/United States|Clr|KBOS Boston Clearance Delivery|en-us|175|45|mp3|American fourteen twenty two, cleared to Chicago O'Hare as filed, Logan Nine departure, climb and maintain five thousand, departure frequency one three three point zero, squawk four six one two.
Regions/United States|Clr|KBOS Boston Clearance Delivery|en-us+Andy|185|50|mp3|Clearance, JetBlue six sixteen, request I F R clearance to Fort Lauderdale, we have information Kilo.
Regions/United States|Clr|KBED Hanscom Clearance Delivery|en-us-nyc|165|40|mp3|November seven two five Papa Bravo, cleared to the Albany airport via radar vectors Gardner, then as filed. Maintain three thousand, expect six thousand one zero minutes after departure. Squawk three four one five.
Regions/United States|Clr|KPVD Providence Clearance Delivery|en-us+f3|170|60|wav|Delta three eighty one, read back correct, contact ground point niner when ready to push.
Regions/United States|Clr|KMHT Manchester Clearance Delivery|en-us+Mike|180|35|mp3|Southwest two one five four, cleared to Baltimore as filed, climb via the SID, departure one two four point niner, squawk two two six one.
Regions/United States|Dep_Gnd|KBOS Boston Ground|en-us+Alex|180|45|mp3|American fourteen twenty two, Boston Ground, runway two two right, taxi via Kilo, Mike, hold short of runway one five right.
Regions/United States|Dep_Gnd|KBOS Boston Ground|en-us-nyc|190|50|mp3|Ground, United eight ninety at gate B five, request push and start.
Regions/United States|Dep_Gnd|KBED Hanscom Ground|en-us+f2|165|65|mp3|Cessna four one niner Kilo Alpha, Hanscom Ground, runway two nine, taxi via Echo and Golf, hold short of runway two three.
Regions/United States|Dep_Gnd|KPVD Providence Ground|en-us|170|40|mp3|Delta three eighty one, push approved, tail east, expect runway five.
Regions/United States|Dep_Gnd|KMHT Manchester Ground|en-us+Andy|175|55|mp3|Southwest two one five four, runway three five, taxi via Alpha, cross runway two four.
Regions/United States|Dep_Twr|KBOS Boston Tower|en-us+Mike|185|40|mp3|American fourteen twenty two, Boston Tower, wind two three zero at one two, runway two two right, cleared for takeoff.
Regions/United States|Dep_Twr|KBOS Boston Tower|en-us+Andy|180|50|mp3|Tower, JetBlue six sixteen holding short two two right, ready for departure.
Regions/United States|Dep_Twr|KBED Hanscom Tower|en-us+f3|170|60|mp3|Cessna four one niner Kilo Alpha, runway two nine, cleared for takeoff, right turn out approved.
Regions/United States|Dep_Twr|KOWD Norwood Tower|en-us-nyc|165|45|mp3|November six three eight Charlie Sierra, Norwood Tower, runway three five, line up and wait, traffic landing runway one zero.
Regions/United States|Dep_Twr|KPVD Providence Tower|en-us|175|35|mp3|Delta three eighty one, fly runway heading, runway five, cleared for takeoff.
Regions/United States|Dep|KBOS Boston Departure|en-us+Alex|185|40|mp3|American fourteen twenty two, Boston Departure, radar contact, climb and maintain one seven thousand.
Regions/United States|Dep|KBOS Boston Departure|en-us-nyc|190|45|mp3|Boston Departure, JetBlue six sixteen, passing two thousand two hundred for five thousand.
Regions/United States|Dep|KBOS Boston Departure|en-us+f2|170|65|mp3|United eight ninety, turn left heading two seven zero, climb and maintain one zero thousand.
Regions/United States|Dep|KPVD Providence Departure|en-us+Mike|175|50|mp3|Delta three eighty one, proceed direct Putnam, contact Boston Center one two four point eight five.
Regions/United States|Dep|KMHT Manchester Departure|en-us|180|35|mp3|Southwest two one five four, radar contact, two miles north of Manchester, climb and maintain one one thousand.
Regions/United States|Ctr|ZBW Boston Center|en-us+Andy|185|40|mp3|American fourteen twenty two, Boston Center, climb and maintain flight level three one zero.
Regions/United States|Ctr|ZBW Boston Center|en-us-nyc|180|45|mp3|Boston Center, Delta three eighty one, level flight level two four zero.
Regions/United States|Ctr|ZBW Boston Center|en-us+f3|170|60|mp3|JetBlue six sixteen, contact New York Center one three two point one five.
Regions/United States|Ctr|ZNY New York Center|en-us+Mike|190|35|mp3|Southwest two one five four, descend and maintain flight level two eight zero, Baltimore altimeter two niner niner two.
Regions/United States|Ctr|ZBW Boston Center|en-us|175|50|mp3|United eight ninety, traffic one o'clock, one five miles, opposite direction, a Boeing seven thirty seven at flight level three three zero.
Regions/United States|App|KBOS Boston Approach|en-us+Alex|180|45|mp3|Delta twelve ten, Boston Approach, descend and maintain four thousand, expect the I L S runway four right.
Regions/United States|App|KBOS Boston Approach|en-us-nyc|185|40|mp3|Boston Approach, Cape Air three two one, level six thousand with information Lima.
Regions/United States|App|KBOS Boston Approach|en-us+f2|170|65|mp3|Delta twelve ten, turn left heading zero six zero, maintain three thousand until established on the localizer, cleared I L S runway four right approach.
Regions/United States|App|KPVD Providence Approach|en-us+Andy|175|50|wav|November two two eight Tango Foxtrot, Providence Approach, squawk VFR, frequency change approved.
Regions/United States|App|KMHT Manchester Approach|en-us|180|35|mp3|Alaska seven seventy, cross Sewel at four thousand, cleared R NAV runway three five approach.
Regions/United States|Dest_Twr|KBOS Boston Tower|en-us+Mike|185|40|mp3|Delta twelve ten, Boston Tower, runway four right, cleared to land, wind zero five zero at eight.
Regions/United States|Dest_Twr|KBOS Boston Tower|en-us+Alex|180|45|mp3|Tower, Cape Air three two one, six mile final, runway four right.
Regions/United States|Dest_Twr|KBED Hanscom Tower|en-us+f3|170|60|mp3|November two two eight Tango Foxtrot, make left traffic runway two nine, report midfield downwind.
Regions/United States|Dest_Twr|KOWD Norwood Tower|en-us-nyc|165|50|mp3|Cessna four one niner Kilo Alpha, number two following a Piper on left base, runway one zero, cleared to land.
Regions/United States|Dest_Twr|KPVD Providence Tower|en-us|175|35|mp3|Alaska seven seventy, go around, climb and maintain two thousand, fly runway heading.
Regions/United States|Dest_Gnd|KBOS Boston Ground|en-us+Andy|185|45|mp3|Delta twelve ten, Boston Ground, taxi to the ramp via Bravo and November, hold short of runway three three left.
Regions/United States|Dest_Gnd|KBOS Boston Ground|en-us-nyc|180|40|mp3|Ground, Cape Air three two one clear of four right at Echo, taxi to the Cape Air ramp.
Regions/United States|Dest_Gnd|KBED Hanscom Ground|en-us+f2|170|65|mp3|November two two eight Tango Foxtrot, taxi to the Signature ramp via Golf.
Regions/United States|Dest_Gnd|KPVD Providence Ground|en-us+Mike|175|50|mp3|Alaska seven seventy, taxi to gate twelve via Charlie, monitor ramp one three one point four.
Regions/United States|Dest_Gnd|KMHT Manchester Ground|en-us|180|35|mp3|Southwest nine oh four, cross runway six, taxi to the gate.
Regions/United States|Dep_Uni|KPYM Plymouth Traffic|en-us+Alex|170|45|mp3|Plymouth traffic, Cessna seven three five Echo Romeo, departing runway six, left crosswind departure, Plymouth.
Regions/United States|Dep_Uni|KFIT Fitchburg Traffic|en-us+f3|165|60|mp3|Fitchburg traffic, Piper eight one Kilo, taxiing to runway two, Fitchburg.
Regions/United States|Dep_Uni|KGHG Marshfield Traffic|en-us-nyc|175|40|mp3|Marshfield traffic, Skyhawk four zero Lima, rolling runway two four, straight out departure to the east, Marshfield.
Regions/United States|Dep_Uni|KTAN Taunton Traffic|en-us+Andy|180|50|wav|Taunton traffic, Cherokee five five Golf, departing runway three to the north, Taunton.
Regions/United States|Dep_Uni|KPYM Plymouth Traffic|en-us|170|35|mp3|Plymouth traffic, Archer two one Mike, back taxi runway one five, Plymouth.
Regions/United States|Dest_Uni|KPVC Provincetown Traffic|en-us+Mike|175|40|mp3|Provincetown traffic, Cape Air four four two, ten miles south, inbound for landing runway seven, Provincetown.
Regions/United States|Dest_Uni|KPYM Plymouth Traffic|en-us+f2|170|65|mp3|Plymouth traffic, Cessna four one niner Kilo Alpha, entering left downwind runway two four, Plymouth.
Regions/United States|Dest_Uni|KFIT Fitchburg Traffic|en-us-nyc|165|45|mp3|Fitchburg traffic, Bonanza six Whiskey Tango, turning final runway one four, full stop, Fitchburg.
Regions/United States|Dest_Uni|KGHG Marshfield Traffic|en-us+Alex|180|50|mp3|Marshfield traffic, Skyhawk four zero Lima, clear of runway two four, Marshfield.
Regions/United States|Dest_Uni|KTAN Taunton Traffic|en-us|175|35|mp3|Taunton traffic, Piper eight one Kilo, midfield left downwind runway three, Taunton.
Regions/Canada|Clr|CYYZ Toronto Clearance Delivery|en-us+Mike|175|40|mp3|Air Canada eight seventy, cleared to Montreal, Toronto Six departure, squawk five two one one.
Regions/Canada|Clr|CYUL Montreal Clearance Delivery|en+f4|170|60|mp3|WestJet three zero one, cleared to Calgary via the Montreal Two departure, initial altitude seven thousand, squawk three three zero two.
Regions/Canada|Clr|CYOW Ottawa Clearance Delivery|en-us+Andy|180|50|mp3|Porter two two one, cleared to Toronto City, climb and maintain six thousand, departure frequency one two eight point one seven five.
Regions/Canada|Dep_Gnd|CYYZ Toronto Ground|en-us+Alex|185|45|mp3|Air Canada eight seventy, Toronto Ground, taxi to runway zero five via Alpha, Delta, hold short of Hotel.
Regions/Canada|Dep_Gnd|CYUL Montreal Ground|en+f4|165|55|mp3|Ground, Jazz seven four five two, ready to taxi with information Papa.
Regions/Canada|Dep_Gnd|CYHZ Halifax Ground|en-us|175|35|mp3|Charlie Golf Kilo Lima Mike, Halifax Ground, taxi runway three two via Kilo.
Regions/Canada|Dep_Twr|CYYZ Toronto Tower|en-us+Mike|180|40|mp3|Air Canada eight seventy, Toronto Tower, runway zero five, cleared for takeoff.
Regions/Canada|Dep_Twr|CYUL Montreal Tower|en-us+Andy|175|50|mp3|WestJet three zero one, line up runway two four right, wait, traffic crossing downfield.
Regions/Canada|Dep_Twr|CYOW Ottawa Tower|en+f4|170|60|mp3|Porter two two one, runway three two, wind three one zero at eight, cleared for takeoff.
Regions/Canada|Dep|CYYZ Toronto Departure|en-us+Alex|185|45|mp3|Air Canada eight seventy, Toronto Departure, identified, climb flight level two three zero.
Regions/Canada|Dep|CYUL Montreal Departure|en-us|180|35|mp3|Montreal Departure, WestJet three zero one, out of two thousand for seven thousand.
Regions/Canada|Dep|CYHZ Halifax Departure|en+f4|170|55|mp3|Charlie Golf Kilo Lima Mike, turn right heading zero niner zero, climb four thousand.
Regions/Canada|Ctr|CZYZ Toronto Centre|en-us+Mike|180|40|mp3|Air Canada eight seventy, Toronto Centre, climb flight level three five zero.
Regions/Canada|Ctr|CZUL Montreal Centre|en-us+Andy|175|50|wav|WestJet three zero one, contact Winnipeg Centre one three two point six.
Regions/Canada|Ctr|CZQM Moncton Centre|en+f4|170|60|mp3|Jazz seven four five two, descend flight level two four zero, Halifax altimeter two niner eight six.
Regions/Canada|App|CYYZ Toronto Arrival|en-us+Alex|185|45|mp3|WestJet six four four, Toronto Arrival, descend to four thousand, reduce speed two one zero knots.
Regions/Canada|App|CYUL Montreal Arrival|en-us|180|35|mp3|Air Transat one one two, cleared I L S runway two four left approach.
Regions/Canada|App|CYOW Ottawa Terminal|en+f4|170|55|mp3|Porter two two one, turn left heading three four zero, intercept the localizer runway zero seven.
Regions/Canada|Dest_Twr|CYYZ Toronto Tower|en-us+Mike|180|40|mp3|WestJet six four four, runway two three, cleared to land.
Regions/Canada|Dest_Twr|CYUL Montreal Tower|en-us+Andy|175|50|mp3|Air Transat one one two, wind two three zero at one five, runway two four left, cleared to land.
Regions/Canada|Dest_Twr|CYHZ Halifax Tower|en+f4|170|60|mp3|Charlie Golf Kilo Lima Mike, join right base runway one four, number one.
Regions/Canada|Dest_Gnd|CYYZ Toronto Ground|en-us+Alex|185|45|mp3|WestJet six four four, Toronto Ground, taxi to Terminal three via Bravo.
Regions/Canada|Dest_Gnd|CYUL Montreal Ground|en-us|180|35|mp3|Air Transat one one two, taxi to gate fifty two via Alpha and Bravo.
Regions/Canada|Dest_Gnd|CYOW Ottawa Ground|en+f4|170|55|mp3|Porter two two one, taxi to the Porter ramp, contact apron on one two one point seven five.
Regions/Canada|Dep_Uni|CYTZ Toronto City Traffic|en-us+Mike|175|40|mp3|Toronto City traffic, Charlie Foxtrot Golf Papa Mike, departing runway two six, eastbound.
Regions/Canada|Dep_Uni|CYBW Springbank Traffic|en-us+Andy|170|50|mp3|Springbank traffic, Cessna Charlie Golf Echo Bravo Lima, backtracking runway zero seven.
Regions/Canada|Dep_Uni|CYKZ Buttonville Traffic|en+f4|165|60|mp3|Buttonville traffic, Piper Charlie Foxtrot Kilo Sierra Tango, rolling runway three three.
Regions/Canada|Dest_Uni|CYTZ Toronto City Traffic|en-us+Alex|175|45|mp3|Toronto City traffic, Charlie Golf Kilo Lima Mike, joining left downwind runway two six.
Regions/Canada|Dest_Uni|CYBW Springbank Traffic|en-us|170|35|mp3|Springbank traffic, Cessna Charlie Golf Echo Bravo Lima, final runway three four.
Regions/Canada|Dest_Uni|CYKZ Buttonville Traffic|en+f4|165|55|mp3|Buttonville traffic, Charlie Foxtrot Kilo Sierra Tango, clear of the runway.
Regions/Europe|Clr|EGLL Heathrow Delivery|en-gb|175|45|mp3|Speedbird two one seven, cleared to New York Kennedy, Brookmans Park Seven Golf departure, squawk five four two one.
Regions/Europe|Clr|EIDW Dublin Delivery|en-gb-x-gbclan|170|55|mp3|Aer Lingus one three two, cleared to Paris Charles de Gaulle, Lapmo One Alpha departure, squawk two six three four.
Regions/Europe|Clr|EGKK Gatwick Delivery|en-gb-x-rp|180|40|wav|easyJet eight five Delta, start up approved, cleared Seaford Five Mike departure, squawk four four five six.
Regions/Europe|Dep_Gnd|EGLL Heathrow Ground|en-gb-scotland|175|45|mp3|Speedbird two one seven, Heathrow Ground, taxi holding point Alpha Two Bravo, runway two seven right, via Alpha.
Regions/Europe|Dep_Gnd|EIDW Dublin Ground|en-gb-x-gbclan|165|60|mp3|Ground, Ryanair four Echo Mike, stand one zero four, request pushback.
Regions/Europe|Dep_Gnd|EGCC Manchester Ground|en-gb-x-gbcwmd|170|40|mp3|Golf Bravo Charlie Delta Echo, Manchester Ground, taxi holding point Juliet One, runway two three right.
Regions/Europe|Dep_Twr|EGLL Heathrow Tower|en-gb-x-rp|180|40|mp3|Speedbird two one seven, Heathrow Tower, runway two seven right, cleared for take off, surface wind two five zero, one two knots.
Regions/Europe|Dep_Twr|EGKK Gatwick Tower|en-gb|175|50|mp3|easyJet eight five Delta, after the departing Airbus, line up runway two six, behind.
Regions/Europe|Dep_Twr|EIDW Dublin Tower|en-gb-x-gbclan|170|60|mp3|Aer Lingus one three two, runway two eight, cleared for take off.
Regions/Europe|Dep|EGLL London Control|en-gb-scotland|180|45|mp3|Speedbird two one seven, London Control, identified, climb flight level one three zero.
Regions/Europe|Dep|EGCC Manchester Radar|en-gb-x-gbcwmd|175|40|mp3|Manchester Radar, Golf Bravo Charlie Delta Echo, passing two thousand for five thousand.
Regions/Europe|Dep|EIDW Dublin Radar|en-gb-x-gbclan|170|55|mp3|Ryanair four Echo Mike, turn left heading one eight zero, climb flight level eight zero.
Regions/Europe|Ctr|EGTT London Control|en-gb-x-rp|180|40|mp3|Speedbird two one seven, London Control, climb flight level three five zero, proceed direct Strumble.
Regions/Europe|Ctr|EISN Shannon Control|en-gb-x-gbclan|175|60|mp3|Aer Lingus one three two, Shannon Control, contact London one three two point eight six.
Regions/Europe|Ctr|EGPX Scottish Control|en-gb-scotland|170|45|mp3|Loganair six two Kilo, Scottish Control, descend flight level one two zero, expect Glasgow.
Regions/Europe|App|EGLL Heathrow Director|en-gb|180|45|mp3|Virgin four Alpha, Heathrow Director, reduce speed one eight zero knots, descend altitude four thousand feet, QNH one zero one three.
Regions/Europe|App|EGKK Gatwick Director|en-gb-x-rp|175|40|mp3|easyJet two two Lima, turn left heading one one zero, cleared I L S runway two six.
Regions/Europe|App|EIDW Dublin Approach|en-gb-x-gbclan|170|55|mp3|Ryanair nine Tango Kilo, Dublin Approach, descend to three thousand feet, QNH one zero zero eight.
Regions/Europe|Dest_Twr|EGLL Heathrow Tower|en-gb-x-rp|180|40|mp3|Virgin four Alpha, runway two seven left, cleared to land, surface wind two six zero, one zero knots.
Regions/Europe|Dest_Twr|EGKK Gatwick Tower|en-gb|175|50|wav|easyJet two two Lima, continue approach, number two, one departure ahead.
Regions/Europe|Dest_Twr|EIDW Dublin Tower|en-gb-x-gbclan|170|60|mp3|Ryanair nine Tango Kilo, vacate left at Echo Five, contact ground one two one decimal eight.
Regions/Europe|Dest_Gnd|EGLL Heathrow Ground|en-gb-scotland|180|45|mp3|Virgin four Alpha, Heathrow Ground, taxi stand four two four via Alpha East.
Regions/Europe|Dest_Gnd|EGCC Manchester Ground|en-gb-x-gbcwmd|175|40|mp3|Golf Bravo Charlie Delta Echo, taxi to the general aviation apron via Juliet.
Regions/Europe|Dest_Gnd|EIDW Dublin Ground|en-gb-x-gbclan|170|55|mp3|Ryanair nine Tango Kilo, taxi stand one one seven via Link Two.
Regions/Europe|Dep_Uni|EGTF Fairoaks Radio|en-gb|170|45|mp3|Fairoaks Radio, Golf Oscar Papa Romeo Sierra, lining up runway zero six.
Regions/Europe|Dep_Uni|EGHR Goodwood Radio|en-gb-x-rp|175|40|mp3|Goodwood traffic, Golf Alpha Victor India Alpha, departing runway one four, to the north.
Regions/Europe|Dep_Uni|EIWT Weston Radio|en-gb-x-gbclan|165|60|mp3|Weston traffic, Echo India Bravo Kilo Lima, taxiing to runway zero seven.
Regions/Europe|Dest_Uni|EGTF Fairoaks Radio|en-gb-scotland|170|45|mp3|Fairoaks Radio, Golf Oscar Papa Romeo Sierra, downwind, runway two four.
Regions/Europe|Dest_Uni|EGHR Goodwood Radio|en-gb-x-gbcwmd|175|40|mp3|Goodwood traffic, Golf Alpha Victor India Alpha, long final runway three two.
Regions/Europe|Dest_Uni|EIWT Weston Radio|en-gb-x-gbclan|165|55|mp3|Weston traffic, Echo India Bravo Kilo Lima, vacated, taxiing to the apron.
UserDefined/Norwood Flight School|Clr|KOWD Norwood Clearance Delivery|en-us+f3|160|60|mp3|Norwood Clearance, Cessna six three eight Charlie Sierra, student pilot, request V F R departure to the west, with information Bravo.
UserDefined/Norwood Flight School|Dep_Gnd|KOWD Norwood Ground|en-us+Mike|170|40|mp3|Cessna six three eight Charlie Sierra, Norwood Ground, runway three five, taxi via Alpha, hold short of runway one zero.
UserDefined/Norwood Flight School|Dep_Gnd|KOWD Norwood Ground|en-us+Andy|165|50|mp3|Ground, Piper two four Kilo at the flight school, taxi for pattern work.
UserDefined/Norwood Flight School|Dep_Twr|KOWD Norwood Tower|en-us-nyc|165|45|mp3|Cessna six three eight Charlie Sierra, runway three five, cleared for takeoff, make left closed traffic.
UserDefined/Norwood Flight School|Dep|KOWD Boston Approach|en-us+Alex|180|40|mp3|Cessna six three eight Charlie Sierra, Boston Approach, radar contact, maintain V F R at or below two thousand five hundred.
UserDefined/Norwood Flight School|App|KOWD Boston Approach|en-us|175|35|wav|Piper two four Kilo, Norwood is at your twelve o'clock, one zero miles, report it in sight.
UserDefined/Norwood Flight School|Dest_Twr|KOWD Norwood Tower|en-us+f2|170|65|mp3|Piper two four Kilo, runway one zero, cleared touch and go.
UserDefined/Norwood Flight School|Dest_Twr|KOWD Norwood Tower|en-us-nyc|165|45|mp3|Cessna six three eight Charlie Sierra, extend downwind, I'll call your base.
UserDefined/Norwood Flight School|Dest_Gnd|KOWD Norwood Ground|en-us+Mike|170|40|mp3|Cessna six three eight Charlie Sierra, taxi to the flight school ramp via Alpha.
TABLE
)

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

rm -rf "$OUT/Regions" "$OUT/UserDefined"

# Speaks one clip and makes it sound like a radio.
make_clip() {
    local target="$1" voice="$2" speed="$3" pitch="$4" format="$5" artist="$6" text="$7" tmp
    tmp="$WORK/$(basename "$target")"
    espeak-ng -v "$voice" -s "$speed" -p "$pitch" -w "$tmp.speech.wav" "$text"
    local rate=$RATE_MP3 output="$tmp.radio.wav"
    [ "$format" = wav ] && rate=$RATE_WAV && output="$target"
    # A carrier hiss under the voice, both squeezed into the voice band as a
    # transmitter would, with a short key-up and release.
    sox -R -V1 -m "$tmp.speech.wav" -v 0.04 "$WORK/noise.wav" -r "$rate" -b 16 "$output" \
        trim 0 "$(soxi -D "$tmp.speech.wav")" gain -6 highpass 350 lowpass 2800 \
        compand 0.01,0.2 6:-70,-60,-20 -6 -90 0.05 pad 0.2 0.3
    if [ "$format" = mp3 ]; then
        lame --quiet -m m -b 16 --tt "$text" --ta "$artist" --tl "Quillon demo chatter" "$tmp.radio.wav" "$target"
    fi
    rm -f "$tmp".*
}

# The hiss, long enough for the longest clip, at espeak-ng's rate.
sox -R -V1 -n -r 22050 -c 1 -b 16 "$WORK/noise.wav" synth 30 brownnoise

# mp3tag.csv lists the region clips as a tag editor exports them: '*'-separated,
# the Windows folder of the file in Path.
TAGS="Title*Artist*Album*Path*Filename"
declare -A serial
running=0
while IFS='|' read -r folder controller artist voice speed pitch format text; do
    [ -n "$folder" ] || continue
    ident="${artist%% *}"
    key="$folder|$controller|$ident"
    serial[$key]=$((${serial[$key]:-0} + 1))
    name="${ident}_${controller}_${serial[$key]}.$format"
    mkdir -p "$OUT/$folder/Controllers/$controller"
    make_clip "$OUT/$folder/Controllers/$controller/$name" "$voice" "$speed" "$pitch" "$format" "$artist" "$text" &
    running=$((running + 1))
    if [ "$running" -ge "$JOBS" ]; then
        wait -n
        running=$((running - 1))
    fi
    if [[ "$folder" == Regions/* ]]; then
        windows="C:\\Chatter\\${folder//\//\\}\\Controllers\\$controller\\"
        TAGS+=$'\n'"$text*$artist*Quillon demo chatter*$windows*$name"
    fi
done <<<"$CLIPS"
while [ "$running" -gt 0 ]; do
    wait -n
    running=$((running - 1))
done

printf '%s\n' "$TAGS" >"$OUT/Regions/mp3tag.csv"
# Facility-name fragments and the country each implies, for clips whose
# airport is not in the simulator's scenery; the first match counts.
cat >"$OUT/Regions/default_geo.csv" <<'GEO'
Facility Name,Country
Shannon,Ireland
Dublin,Ireland
Weston,Ireland
Heathrow,United Kingdom
Gatwick,United Kingdom
London,United Kingdom
Manchester,United Kingdom
Scottish,United Kingdom
Fairoaks,United Kingdom
Goodwood,United Kingdom
GEO

#!/usr/bin/env bash
# Makes static.mp3, the radio hiss looped under transmissions: band-limited
# noise whose end is cross-faded into its start, so that the loop has no seam.
#
#   make_static.sh <output.mp3>
set -euo pipefail

out="$1"
mkdir -p "$(dirname "$out")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

rate=44100  # MPEG-1 rate: the encoder's gapless tag lets the decoder drop its padding
# A 4-second loop with a half-second cross-fade at the seam.

# Repeatable noise, shaped like a voice radio's pass band, well below full scale.
sox -R -n -r "$rate" -c 1 -b 16 "$work/noise.wav" synth 4.5 whitenoise \
    sinc 300-3400 gain -n -9
# The loop is noise[0.5, 4.5) with its last half second replaced by
# noise[4, 4.5) fading out over noise[0, 0.5) fading in, which ends exactly
# where the loop starts again. Quarter-sine fades keep the power even.
sox -R "$work/noise.wav" "$work/body.wav" trim 0.5 3.5
sox -R "$work/noise.wav" "$work/out.wav" trim 4 0.5 fade q 0 0.5 0.5
sox -R "$work/noise.wav" "$work/in.wav" trim 0 0.5 fade q 0.5
sox -R -m -v 1 "$work/out.wav" -v 1 "$work/in.wav" "$work/seam.wav"
sox -R "$work/body.wav" "$work/seam.wav" "$work/loop.wav"
lame --quiet -m m -b 64 "$work/loop.wav" "$work/static.mp3"
mv "$work/static.mp3" "$out"

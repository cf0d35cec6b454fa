#!/usr/bin/env bash
# Synthesises the game's sound effects, its first music track and the small
# Ogg files the music tests read, all with sox (and oggenc for the Ogg
# files, whose stream serial numbers it fixes so the output is repeatable).
#
#   tools/sound_gen/generate.sh
#
# Writes resources/sounds/*.wav (16-bit PCM, mono, 22050 Hz),
# resources/music/level1.ogg and tests/data/sound/*.ogg. The results are
# committed; run this again after changing a recipe.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
sounds=$root/resources/sounds
music=$root/resources/music
testdata=$root/tests/data/sound
mkdir -p "$sounds" "$music" "$testdata"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# -R: repeatable noise. A piece is one synthesised stretch of sound; an
# effect is one or more pieces played one after another, written as mono
# 16-bit PCM at 22050 Hz.
piece() {
    local out=$1
    shift
    sox -R -n -r 22050 -c 1 -b 16 -e signed-integer "$work/$out.wav" "$@"
}
effect() {
    local name=$1
    shift
    local inputs=()
    for part in "$@"; do
        inputs+=("$work/$part.wav")
    done
    if [ ${#inputs[@]} -eq 1 ]; then
        cp "${inputs[0]}" "$sounds/$name.wav"
    else
        sox "${inputs[@]}" -b 16 -e signed-integer "$sounds/$name.wav"
    fi
}
piece gap synth 0.03 sine 1 gain -120

# A steady electric hum that loops cleanly: 1 s holds whole periods of
# both tones, and the tremolo rate divides the second as well.
piece hum synth 1.0 sine 110 sine 220 remix - tremolo 8 30 gain -6
effect snd_magnet_on hum

# Two bright bell tones, the second higher: money changes hands.
piece bell_low synth 0.09 sine 1319 fade 0 0.09 0.08 gain -4
piece bell_high synth 0.30 sine 1760 fade 0 0.30 0.28 gain -4
effect snd_money_spent bell_low bell_high

# A short percussive tick.
piece tick synth 0.035 pinknoise fade 0 0.035 0.03 highpass 1500 gain -2
effect snd_clicked_button tick

# A soft high blip for the pointer passing over a button.
piece blip synth 0.06 sine 880 fade 0.005 0.06 0.05 gain -10
effect snd_rollover_button blip

# Steam escaping in puffs, for an airship low on fuel: high hiss under a
# 6 Hz tremolo, half a second (three whole tremolo periods) that loops.
piece hiss synth 0.5 pinknoise highpass 2000 tremolo 6 60 fade 0.01 0.5 0.01 gain 4
effect snd_low_steam hiss

# A unit meeting the magnet: a short metallic clank.
piece clank synth 0.12 square 220 sine 660 fade 0 0.12 0.1 gain -10
effect snd_magnet_stick clank

# A low two-step buzz that says no.
piece buzz_high synth 0.14 square 180 fade 0 0.14 0.02 gain -14
piece buzz_low synth 0.22 square 150 fade 0 0.22 0.1 gain -14
effect snd_access_denied buzz_high gap buzz_low

# A ratchet: a dozen short ticks of rising pitch.
ticks=()
for i in $(seq 0 11); do
    piece "ratchet$i" synth 0.018 square $((400 + 40 * i)) fade 0 0.018 0.015 gain -12
    ticks+=("ratchet$i" gap)
done
effect snd_stats_crank "${ticks[@]}"

# Weapons and hits, kept short: many play at once in a battle.
# A rifle: a sharp crack of bright noise.
piece crack synth 0.12 whitenoise gain -8 fade 0 0.12 0.11 highpass 900
effect snd_rifle crack
# A cannon: a low thump under a burst of dark noise.
piece thump synth 0.35 sine 60 brownnoise gain -6 fade 0 0.35 0.33 lowpass 400
effect snd_cannon thump
# Flak: a hollow pop, higher than the cannon.
piece pop synth 0.18 sine 180 pinknoise gain -8 fade 0 0.18 0.17 bandpass 500 300
effect snd_flak pop
# An explosion: a long rumble of falling noise.
piece boom synth 0.6 brownnoise gain -4 fade 0 0.6 0.55 lowpass 300
effect snd_explosion boom
# A hit: a dull knock on armour or cloth.
piece knock synth 0.08 square 120 pinknoise gain -10 fade 0 0.08 0.07 lowpass 800
effect snd_hit knock
# A flag run up its pole: three quick rising notes.
piece flag1 synth 0.07 triangle 523 fade 0 0.07 0.02 gain -8
piece flag2 synth 0.07 triangle 659 fade 0 0.07 0.02 gain -8
piece flag3 synth 0.16 triangle 784 fade 0 0.16 0.1 gain -8
effect snd_flag_raise flag1 flag2 flag3

# Music: an eight-second stereo loop of a slow bass line under a pad of
# fifths, left and right voices a little apart.
notes=(110 110 131 98 110 147 131 98)
for side in left right; do
    detune=0
    [ "$side" = right ] && detune=1
    bars=()
    for i in "${!notes[@]}"; do
        bass=${notes[$i]}
        sox -R -n -r 44100 -c 1 -b 16 "$work/$side$i.wav" \
            synth 1.0 triangle "$bass" sine "$((bass * 3 + detune))" sine "$((bass * 2 - detune))" \
            remix - fade 0.05 1.0 0.2 gain -8
        bars+=("$work/$side$i.wav")
    done
    sox "${bars[@]}" "$work/$side.wav"
done
sox -M "$work/left.wav" "$work/right.wav" "$work/level1.wav"
oggenc -Q -q 3 --serial 1 -o "$music/level1.ogg" "$work/level1.wav"

# Test tracks: a second of mono tone, a third of a second of stereo, a
# three-channel file (which the player must refuse) and one with no audio.
sox -R -n -r 22050 -c 1 -b 16 "$work/mono.wav" synth 1.0 sine 440 gain -6
oggenc -Q -q 2 --serial 2 -o "$testdata/mono_1s.ogg" "$work/mono.wav"
sox -R -n -r 44100 -c 2 -b 16 "$work/stereo.wav" synth 0.3 sine 330 sine 495 gain -6
oggenc -Q -q 2 --serial 3 -o "$testdata/stereo_short.ogg" "$work/stereo.wav"
sox -R -n -r 22050 -c 3 -b 16 "$work/three.wav" synth 0.2 sine 220 sine 330 sine 440 gain -6
oggenc -Q -q 2 --serial 4 -o "$testdata/three_channels.ogg" "$work/three.wav"
sox -R -n -r 22050 -c 1 -b 16 "$work/empty.wav" trim 0 0
oggenc -Q -q 2 --serial 5 -o "$testdata/no_audio.ogg" "$work/empty.wav"

# Samples for the loader tests: a loose tone, and a datafile that the
# resource layer finds at tests/data/sound/sound_test.dat holding a sample
# that exists only there and a plain data object posing as a sample.
sox -R -n -r 11025 -c 1 -b 16 -e signed-integer "$testdata/tone.wav" synth 0.1 sine 600 gain -6
sox -R -n -r 22050 -c 1 -b 16 -e signed-integer "$work/packed.wav" synth 0.05 sine 900 gain -6
printf 'not a sample\n' > "$work/text_object.wav"
(
    cd "$work"
    rm -f sound.dat data.dat tests.dat sound_test.dat
    dat -k -s1 -a sound.dat packed.wav > /dev/null
    dat -k -s1 -t DATA -a sound.dat text_object.wav > /dev/null
    dat -k -s1 -t FILE -a data.dat sound.dat > /dev/null
    dat -k -s1 -t FILE -a tests.dat data.dat > /dev/null
    dat -k -s1 -t FILE -a sound_test.dat tests.dat > /dev/null
)
cp "$work/sound_test.dat" "$testdata/sound_test.dat"

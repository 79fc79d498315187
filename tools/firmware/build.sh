#!/bin/sh
# Builds the end-to-end test firmware with avr-gcc and writes its Flash and EEPROM contents
# as Intel HEX beside this script: blink.hex and blink_eeprom.hex. Needs gcc-avr, avr-libc
# and binutils-avr.
set -eu
cd "$(dirname "$0")"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
avr-gcc -mmcu=atmega328p -DF_CPU=16000000UL -Os -Wall -Wextra -o "$out/blink.elf" blink.c
avr-objcopy -O ihex -R .eeprom "$out/blink.elf" blink.hex
avr-objcopy -O ihex -j .eeprom --change-section-lma .eeprom=0 "$out/blink.elf" blink_eeprom.hex
# CR LF line ends, as Tolmeo's documents are written.
for hex in blink.hex blink_eeprom.hex; do
  sed -i 's/\r*$/\r/' "$hex"
done
echo "built blink.hex and blink_eeprom.hex"

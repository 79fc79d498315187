// A small ATmega328P program for Tolmeo's end-to-end test: blinks the LED on PB5 (pin 13 of
// an Arduino Uno) with a rhythm read from EEPROM, so both memories carry real data.
#include <avr/eeprom.h>
#include <avr/io.h>
#include <stdint.h>
#include <util/delay.h>

// On/off times in units of 10 ms, ended by a zero; kept in EEPROM so they can be changed
// without rebuilding.
uint8_t EEMEM rhythm[] = {50, 50, 10, 20, 10, 80, 0};
char EEMEM greeting[] = "Tolmeo blink";

static void wait_10ms_units(uint8_t units) {
  while (units--) _delay_ms(10);
}

int main(void) {
  DDRB |= _BV(DDB5);
  for (;;) {
    for (uint8_t i = 0;; ++i) {
      uint8_t units = eeprom_read_byte(&rhythm[i]);
      if (units == 0) break;
      PORTB ^= _BV(PORTB5);
      wait_10ms_units(units);
    }
  }
}

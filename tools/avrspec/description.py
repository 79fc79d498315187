"""The .avrspec description file of one chip: its model, its bytes, and a strict reader.

Layout, CP949 text with CR LF line ends: each tag line stands alone and its value follows;
the four bit sections hold one line per bit, bits 7 down to 0, written as
"<bit> <name> <state> [fixed]" where the state is "*" for a programmed bit (value 0) and "-"
for an unprogrammed one (value 1), and a changeable bit's line ends in a blank.
"""

EXTENSION = ".avrspec"
ENCODING = "cp949"
NEWLINE = "\r\n"

PAGE_SIZE_TAG = "<Flash페이지크기>"
FLASH_SIZE_TAG = "<Flash크기>"
EEPROM_SIZE_TAG = "<EEprom크기>"
SIGNATURE_TAG = "<고유번호>"
FLASH_DELAY_TAG = "<Flash기록시간>"
EEPROM_DELAY_TAG = "<EEprom기록시간>"
END_TAG = "<끝>"
FIXED_MARK = "고정"
PROGRAMMED_MARK = "*"
UNPROGRAMMED_MARK = "-"
ABSENT_NAME = "-"

# Bit sections in file order: (byte key, tag).
SECTIONS = (("lock", "<보안설정>"), ("extended", "<확장설정>"),
            ("high", "<상위설정>"), ("low", "<하위설정>"))

PAGE_SIZE_DIGITS = 4
SIZE_DIGITS = 8
DELAY_DIGITS = 2


class LayoutError(Exception):
    """A file that is not a description in the exact layout Tolmeo writes."""


class Bit:
    def __init__(self, name, value, fixed):
        self.name = name
        self.value = value      # 0 programmed, 1 unprogrammed
        self.fixed = fixed

    def __eq__(self, other):
        return (self.name, self.value, self.fixed) == (other.name, other.value, other.fixed)

    def __repr__(self):
        return f"Bit({self.name!r}, {self.value}, fixed={self.fixed})"


def absent_bit():
    """A bit the chip does not have: unprogrammed and out of the user's reach."""
    return Bit(ABSENT_NAME, 1, True)


class Description:
    def __init__(self, page_size, flash_size, eeprom_size, signature, sections,
                 flash_delay, eeprom_delay):
        self.page_size = page_size
        self.flash_size = flash_size
        self.eeprom_size = eeprom_size
        self.signature = tuple(signature)
        self.sections = sections    # byte key -> list of 8 Bit, index = bit number
        self.flash_delay = flash_delay
        self.eeprom_delay = eeprom_delay

    def byte_value(self, key):
        return sum(bit.value << number for number, bit in enumerate(self.sections[key]))


def render(description):
    """The file's bytes.  Values that do not fit their fixed-width fields raise ValueError
    rather than being cut to their last digits."""
    lines = [PAGE_SIZE_TAG, _decimal(description.page_size, PAGE_SIZE_DIGITS),
             FLASH_SIZE_TAG, _decimal(description.flash_size, SIZE_DIGITS),
             EEPROM_SIZE_TAG, _decimal(description.eeprom_size, SIZE_DIGITS),
             SIGNATURE_TAG, " ".join(f"{byte:02x}" for byte in description.signature)]
    for key, tag in SECTIONS:
        lines.append(tag)
        bits = description.sections[key]
        lines += [_bit_line(number, bits[number]) for number in range(7, -1, -1)]
    lines += [FLASH_DELAY_TAG, _decimal(description.flash_delay, DELAY_DIGITS),
              EEPROM_DELAY_TAG, _decimal(description.eeprom_delay, DELAY_DIGITS),
              END_TAG]
    return "".join(line + NEWLINE for line in lines).encode(ENCODING)


def _decimal(value, digits):
    if not 0 <= value < 10 ** digits:
        raise ValueError(f"{value} does not fit in {digits} decimal digits")
    return f"{value:0{digits}d}"


def _bit_line(number, bit):
    if not bit.name or any(char.isspace() for char in bit.name):
        raise ValueError(f"bit name {bit.name!r} is empty or holds a blank")
    state = PROGRAMMED_MARK if bit.value == 0 else UNPROGRAMMED_MARK
    return f"{number} {bit.name} {state} " + (FIXED_MARK if bit.fixed else "")


def parse(data):
    """The description in data, which must be exactly what render writes for it."""
    lines = _lines_of(data)
    reader = _LineReader(lines)
    page_size = _read_decimal(reader, PAGE_SIZE_TAG, PAGE_SIZE_DIGITS)
    flash_size = _read_decimal(reader, FLASH_SIZE_TAG, SIZE_DIGITS)
    eeprom_size = _read_decimal(reader, EEPROM_SIZE_TAG, SIZE_DIGITS)
    signature = _read_signature(reader)
    sections = {key: _read_section(reader, tag) for key, tag in SECTIONS}
    flash_delay = _read_decimal(reader, FLASH_DELAY_TAG, DELAY_DIGITS)
    eeprom_delay = _read_decimal(reader, EEPROM_DELAY_TAG, DELAY_DIGITS)
    reader.expect_tag(END_TAG)
    reader.expect_end()
    description = Description(page_size, flash_size, eeprom_size, signature, sections,
                              flash_delay, eeprom_delay)
    if render(description) != data:
        raise LayoutError("the file differs from the layout its own values give")
    return description


def _lines_of(data):
    try:
        text = data.decode(ENCODING)
    except UnicodeDecodeError as error:
        raise LayoutError(f"not CP949 text: {error}") from error
    if not text.endswith(NEWLINE):
        raise LayoutError("the last line does not end in CR LF")
    lines = text[:-len(NEWLINE)].split(NEWLINE)
    if any("\r" in line or "\n" in line for line in lines):
        raise LayoutError("a line ends in a lone CR or LF")
    return lines


class _LineReader:
    def __init__(self, lines):
        self._lines = lines
        self._next = 0

    def take(self, what):
        if self._next >= len(self._lines):
            raise LayoutError(f"the file ends before {what}")
        self._next += 1
        return self._lines[self._next - 1]

    def expect_tag(self, tag):
        line = self.take(tag)
        if line != tag:
            raise LayoutError(f"line {self._next}: expected {tag}, found {line!r}")

    def expect_end(self):
        if self._next != len(self._lines):
            raise LayoutError(f"line {self._next + 1}: text after {END_TAG}")


def _read_decimal(reader, tag, digits):
    reader.expect_tag(tag)
    line = reader.take(f"the value of {tag}")
    if len(line) != digits or not line.isascii() or not line.isdigit():
        raise LayoutError(f"{tag}: {line!r} is not a {digits}-digit decimal")
    return int(line)


def _read_signature(reader):
    reader.expect_tag(SIGNATURE_TAG)
    line = reader.take("the signature")
    words = line.split(" ")
    if len(words) != 3 or any(len(word) != 2 or word.strip("0123456789abcdef") for word in words):
        raise LayoutError(f"{SIGNATURE_TAG}: {line!r} is not three lower-case hex bytes")
    return tuple(int(word, 16) for word in words)


def _read_section(reader, tag):
    reader.expect_tag(tag)
    bits = {}
    for expected_number in range(7, -1, -1):
        line = reader.take(f"bit {expected_number} of {tag}")
        number, bit = _read_bit_line(line, tag)
        if number != expected_number:
            raise LayoutError(f"{tag}: bit {number} where bit {expected_number} belongs")
        bits[number] = bit
    return [bits[number] for number in range(8)]


def _read_bit_line(line, tag):
    words = line.split(" ")
    if len(words) != 4 or not words[0].isascii() or not words[0].isdigit() or not words[1]:
        raise LayoutError(f"{tag}: {line!r} is not a bit line")
    if words[2] not in (PROGRAMMED_MARK, UNPROGRAMMED_MARK) or words[3] not in ("", FIXED_MARK):
        raise LayoutError(f"{tag}: {line!r} has an unknown state or fixed mark")
    value = 0 if words[2] == PROGRAMMED_MARK else 1
    return int(words[0]), Bit(words[1], value, words[3] == FIXED_MARK)

"""A small avrdude.conf in the real file's grammar and the description that agrees with it."""

import description as desc

ATTEST8_CONF = '''
# A comment holding "quotes" ; and = signs
programmer
    id                 = "dummy";
    desc               = "semicolon; inside a string";
    usbpid             = 0x05dc, 0x05dd;
;

default_bitclock = 1.0;

part
    desc               = "ATtest8";
    id                 = "t8";
    prog_modes         = PM_SPM | PM_ISP | PM_HVPP;
    signature          = 0x1e 0x93 0x07;
    pp_controlstack    =
        0x0e, 0x1e, 0x0f, 0x1f;
    pgm_enable         = "1010.1100--0101.0011--xxxx.xxxx--xxxx.xxxx";
    chip_erase         = "1010.1100--100x.xxxx--xxxx.xxxx--xxxx.xxxx";

    memory "eeprom"
        size           = 512;
        min_write_delay = 4000;
        max_write_delay = 9000;
        read           = "1010.0000--00xx.xxxa--aaaa.aaaa--oooo.oooo";
        write          = "1100.0000--00xx.xxxa--aaaa.aaaa--iiii.iiii";
    ;

    memory "flash"
        paged          = yes;
        size           = 8 * 1024;
        page_size      = 64;
        max_write_delay = 4500;
        read_lo        = "0010.0000--0000.aaaa--aaaa.aaaa--oooo.oooo";
        read_hi        = "0010.1000--0000.aaaa--aaaa.aaaa--oooo.oooo";
        loadpage_lo    = "0100.0000--0000.xxxx--xxxa.aaaa--iiii.iiii";
        loadpage_hi    = "0100.1000--0000.xxxx--xxxa.aaaa--iiii.iiii";
        writepage      = "0100.1100--0000.aaaa--aaax.xxxx--xxxx.xxxx";
    ;

    memory "lfuse"
        size           = 1;
        read           = "0101.0000--0000.0000--xxxx.xxxx--oooo.oooo";
        write          = "1010.1100--1010.0000--xxxx.xxxx--iiii.iiii";
    ;

    memory "hfuse"
        size           = 1;
        read           = "0101.1000--0000.1000--xxxx.xxxx--oooo.oooo";
        write          = "1010.1100--1010.1000--xxxx.xxxx--iiii.iiii";
    ;

    memory "lock"
        size           = 1;
        read           = "0101.1000--0000.0000--xxxx.xxxx--oooo.oooo";
        write          = "1010.1100--111x.xxxx--xxxx.xxxx--11ii.iiii";
    ;

    memory "signature"
        size           = 3;
        read           = "0011.0000--000x.xxxx--xxxx.xxaa--oooo.oooo";
    ;
;

part parent "t8"
    desc               = "ATtest8B";
    id                 = "t8b";
    signature          = 0x1e 0x93 0x08;

    memory "eeprom"
        size           = 1024;
    ;

    memory "hfuse" = NULL;

    memory "efuse"
        alias "hfuse";
    ;
;
'''

LOW_NAMES = ["CKSEL0", "CKSEL1", "CKSEL2", "CKSEL3", "SUT0", "SUT1", "BODEN", "BODLEVEL"]
LOW_FACTORY = 0xE1


def named_bits(names, factory_value, fixed=()):
    return [desc.Bit(name, (factory_value >> number) & 1, name in fixed)
            for number, name in enumerate(names)]


def absent_byte():
    return [desc.absent_bit() for _ in range(8)]


def attest8_description():
    """The description of ATtest8 the generator would write: sound in every respect."""
    lock = named_bits(["LB1", "LB2"], 0xFF) + [desc.absent_bit()] * 6
    high = named_bits(["BOOTRST", "BOOTSZ0", "BOOTSZ1", "EESAVE", "CKOPT", "SPIEN", "WDTON",
                       "RSTDISBL"], 0xD9, fixed=("SPIEN", "RSTDISBL"))
    return desc.Description(
        page_size=64, flash_size=8192, eeprom_size=512, signature=(0x1E, 0x93, 0x07),
        sections={"lock": lock, "extended": absent_byte(), "high": high,
                  "low": named_bits(LOW_NAMES, LOW_FACTORY)},
        flash_delay=5, eeprom_delay=9)

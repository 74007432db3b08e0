#!/usr/bin/env python3
# Gives each letter of the argument a spare key of the X display ($DISPLAY),
# from the highest key code down, so that xdotool types them with keys the
# window already knows rather than with keys it maps only for the moment.
import ctypes
import sys

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
display = x11.XOpenDisplay(None)
if not display:
    sys.exit("no display")
low, high = ctypes.c_int(), ctypes.c_int()
x11.XDisplayKeycodes(ctypes.c_void_p(display), ctypes.byref(low), ctypes.byref(high))
code = high.value
for letter in sys.argv[1]:
    symbol = 0x1000000 + ord(letter)
    both = (ctypes.c_ulong * 2)(symbol, symbol)
    x11.XChangeKeyboardMapping(ctypes.c_void_p(display), code, 2, both, 1)
    code -= 1
x11.XSync(ctypes.c_void_p(display), 0)
x11.XCloseDisplay(ctypes.c_void_p(display))

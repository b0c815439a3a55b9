#!/usr/bin/env python3
"""Stores PASSWORD in FILE as the player stores it: libsodium's Argon2id string and a newline.
   store_password.py PASSWORD FILE"""
import ctypes
import sys

password = sys.argv[1].encode()
sodium = ctypes.CDLL("libsodium.so.23")
out = ctypes.create_string_buffer(128)
assert sodium.crypto_pwhash_str_alg(out, password, ctypes.c_ulonglong(len(password)),
                                    ctypes.c_ulonglong(2), ctypes.c_size_t(67108864), 2) == 0
with open(sys.argv[2], "wb") as stored:
    stored.write(out.value + b"\n")

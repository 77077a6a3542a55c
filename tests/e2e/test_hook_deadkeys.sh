#!/usr/bin/env bash
# Dead keys: the next keystroke is looked up in the dead-key map; a key the map lacks gets
# the default text and then itself; Shift in between neither uses nor cancels the dead key.
# Caps Lock counts as Shift.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup

start_host "$(settings_file deadkeys.ini)"
start_target Dead

keys bp:de,28;  sleep 0.3
[ -z "$(target_text Dead)" ] || fail "the dead key typed something: [$(target_text Dead)]"
keys bp:45,12;  expect_text Dead "eacute"
keys bp:de,28 bd:10,2a bp:45,12 bu:10,2a;  expect_text Dead "eacuteEACUTE"
keys bp:de,28 bp:53,1f;  expect_text Dead "eacuteEACUTE's"
keys bp:41,1e;  expect_text Dead "eacuteEACUTE'sq"
keys bp:14,3a bp:41,1e;  expect_text Dead "eacuteEACUTE'sqQ"     # Caps Lock on: 30_S
keys bp:14,3a bp:41,1e;  expect_text Dead "eacuteEACUTE'sqQq"    # and off again
echo PASS

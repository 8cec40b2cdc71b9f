# Button presses: the firmware's bezel-button event, a hotkey and the media key from an
# outside sender. Which program a button starts is configured in the Event tree.
say "Bezel button pressed (firmware event 4; fwbridge answers button 8553)"
sim answer 131 "69 21 00 00"
send_keywatch 1 4
show_new_codes
show_new_starts

say "Hotkey pressed (external event 0x41010001; fwbridge answers hotkey 305)"
send_keywatch 255 0x41010001
show_new_codes
show_new_starts

say "Media key pressed (external event 0x41420001)"
send_keywatch 255 0x41420001
show_new_codes
show_new_starts

say "Firmware event 5 refreshes CommandType05"
sim answer 134 "07 00 00 00"
send_keywatch 1 5
show_new_codes
show_data_key

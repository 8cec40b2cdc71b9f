# Start-up: fwbridge runs with a weak adapter (state 2), keywatch waits for it, runs the
# startup sequence, calls padlink and warns about the adapter before its loop starts.
say "Start-up with fwbridge running and a weak adapter"
sim fwbridge install
sim fwbridge start
sim answer 145 "02 00 00 00"
sim padlink-record on
start_keywatch
show_new_codes
show_data_key
show_new_starts
show_adapter_popup
show_padlink

# The exit command: keywatch stops its listener, calls padlink's stop and ends with 0.
say "Exit command (WM_COMMAND 105)"
send_message command 105
wait_keywatch_exit
show_padlink
show_new_codes

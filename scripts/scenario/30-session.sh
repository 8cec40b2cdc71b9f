# Session changes and sleep: a locked session drops every request, unlocking runs one
# adapter check, and a resume from sleep asks for the pending button even while locked.
say "Session locked: a bezel button press is dropped"
send_message session 7
send_keywatch 1 4
show_new_codes

say "Resume from sleep while locked: the button query and code 128 still run"
send_message power 18
show_new_codes

say "Session unlocked: one adapter check (still weak, so the warning starts)"
send_message session 8
show_new_codes
show_adapter_popup

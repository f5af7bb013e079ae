,John,Smith,,Acme,Sales,,555 1234,office,555 9999,home
,,,,Solo Ltd,,,777,

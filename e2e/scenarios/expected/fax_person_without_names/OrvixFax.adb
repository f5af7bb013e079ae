,John,Smith,,Acme,Sales,,555 1234,office,555 9999,home
,Ann,Lee,,Beta GmbH,,,0049 30 111,
,,,,Solo Ltd,,,777,
Team,0.0,1.0

,Ann,Lee,,Beta GmbH,,,0049 30 111,
,,,,Solo Ltd,,,777,
Team,0.0

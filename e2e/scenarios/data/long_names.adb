,Bartholomew,Featherstonehaugh-Smythe,,,,,1,
,Maximilian,Longname-Abcdefghijklmno,,,,,2,
,Christopher,Wellington,,,,,3,
,Al,Zu,,,,,4,

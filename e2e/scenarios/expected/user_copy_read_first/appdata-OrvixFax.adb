,Otto,Export,,Exported Inc,,,+1 (212) 555-0188,main
,Paula,Export,,,,,0044 20 7946 0000,
,Grace,,,,,,
Exported,0.0,1.0

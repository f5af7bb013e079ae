,Ann,Lee,,Acme,,,555-1001,home\, new,555-1002,x,555-1003,y
,Bob,Roe,,Beta,,,555-2000,desk
,,,,Gamma Ltd,,,555-3000,main
Team,1.0
Solo,0.0

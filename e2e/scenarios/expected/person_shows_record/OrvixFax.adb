,Ann,Lee,,Acme,,,555-1000,office,555-1001,home
,Bob,Roe,,Beta,,,555-2000,desk
,,,,Gamma Ltd,,,555-3000,main
Team,0.0,1.0
Solo,0.1

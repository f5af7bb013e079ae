,Ann,Lee,,Acme,,,555-1000,office
,Bob,Roe,,Beta,,,555-2000,desk
,,,,Gamma Ltd,,,555-3000,main
Team,0.0,1.0

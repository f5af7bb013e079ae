,Ann,Lee,,Acme,,,
,Bob,Roe,,Beta,,,555-2000,desk
,,,,Gamma Ltd,,,555-3000,main
Team,1.0

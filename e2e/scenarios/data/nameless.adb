,,,,Gamma Ltd,,,555-3000,main
,,,,,Sales,,555-4000,x
,Ann,,,Acme,,,555-1000,office
